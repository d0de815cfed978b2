#pragma once
// A LayerDlg that keeps another window inside its margins: it moves with the dialog, is resized
// to the dialog less the margins, and is shown when the dialog is shown.
#include "ui/toolkit/HostedWindow.h"
#include "ui/toolkit/LayerDlg.h"

namespace quillo::ui {

class LayerBorderDlg : public LayerDlg {
 public:
  using LayerDlg::LayerDlg;

  // Not owned; must outlive the dialog or be reset to nullptr.
  void SetHosted(HostedWindow* hosted);
  HostedWindow* hosted() const { return hosted_; }
  // Where the hosted window goes on the screen.
  gfx::Rect HostedScreenRect() const;

  bool Create(const gfx::Rect& screen_rect, LayerWnd* parent,
              window::WindowKind kind = window::WindowKind::kDialog) override;
  void OnMove(gfx::Point screen_origin) override;
  void OnSize(gfx::Size size) override;

 private:
  void PlaceHosted();
  HostedWindow* hosted_ = nullptr;
};

}  // namespace quillo::ui
