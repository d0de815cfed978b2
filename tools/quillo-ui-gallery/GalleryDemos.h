#pragma once
// Sample windows of the gallery: one per control kind, on the main skin (image buttons,
// sliders) or the dialog frame (the other kinds).
#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit/LayerDlg.h"
#include "ui/toolkit/LayerEdit.h"
#include "ui/toolkit/LayerListPopup.h"
#include "ui/toolkit/LayerListView.h"

namespace quillo::gallery {

// The main skin's normal layout background with transport buttons and/or sliders.
class MainSkinDemo : public ui::LayerWnd {
 public:
  MainSkinDemo(bool buttons, bool sliders);
  void InitLayer() override;
  void DrawBackground() override;
  void DrawSliderTrack(int id) override;
  void OnSliderMove(ui::LayerControl& thumb) override { DrawFill(thumb); }
  void OnSliderRelease(ui::LayerControl& thumb) override { DrawFill(thumb); }

 private:
  void DrawFill(ui::LayerControl& thumb);
  bool buttons_;
  bool sliders_;
};

class StringList : public ui::LayerListViewS {
 public:
  StringList(ui::LayerWnd& owner, const gfx::Rect& bounds, std::vector<std::string> rows);
  void DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect& clip,
               bool selected) override;
  int RowCount() const override { return int(rows_.size()); }

 private:
  std::vector<std::string> rows_;
};

// A framed dialog showing controls of one kind ("textbutton", "dropdown", "checkbox", "radio",
// "label", "list", "edit", "dialog").
class KitDemo : public ui::LayerDlg {
 public:
  explicit KitDemo(std::string kind);
  ~KitDemo() override;
  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(ui::LayerControl* control, int code) override;
  void OnDestroy() override;
  ui::LayerEdit* edit() { return edit_.get(); }

 private:
  std::string kind_;
  std::unique_ptr<StringList> list_;
  std::unique_ptr<ui::LayerEdit> edit_;
  std::unique_ptr<ui::LayerListPopup> popup_;
};

}  // namespace quillo::gallery
