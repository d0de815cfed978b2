#pragma once
// The notification window: a page the service may show. Its page may call AddMusic and GoToUrl,
// which are accepted and do nothing. Window thread only; modal.
#include <string>

#include "web/CXHTMLDialog.h"

namespace quillo::web {

class CNotificationDlg : public CXHTMLDialog {
 public:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 200;

  // `url` empty: the built-in notification page.
  CNotificationDlg(store::DocumentStore& store, std::string url);
  ~CNotificationDlg() override;

  void Run(ui::LayerWnd* parent);
  bool Create(const gfx::Rect& screen_rect, ui::LayerWnd* parent,
              window::WindowKind kind = window::WindowKind::kDialog) override;

 protected:
  BridgeValue OnExternalMethod(const std::string& method, const std::vector<std::string>& args,
                               bool& handled) override;
  std::vector<std::string> ExternalMethodNames() const override;

 private:
  std::string url_;
};

}  // namespace quillo::web
