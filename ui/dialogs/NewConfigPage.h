#pragma once
// One page of the settings dialog: its controls (made once, shown while the page is current),
// what it draws besides them, and what its controls do to the working copy. The dialog routes
// every event of a page's controls to the page. Window thread.
#include <vector>

#include "platform/gfx/Color.h"
#include "platform/gfx/Painter.h"

namespace quillo::ui {

class NewConfigDlg;
struct LayerControl;

class NewConfigPage {
 public:
  explicit NewConfigPage(NewConfigDlg& dlg) : dlg_(dlg) {}
  virtual ~NewConfigPage() = default;
  NewConfigPage(const NewConfigPage&) = delete;
  NewConfigPage& operator=(const NewConfigPage&) = delete;

  // The page's tree id (10 … 17).
  virtual int id() const = 0;
  // Adds the page's controls to the dialog (from its InitLayer); answers their ids.
  virtual std::vector<int> AddControls() = 0;
  // Puts every control in the state the working copy says (each time the page is selected).
  virtual void Refresh() {}
  // Section headings, texts and previews, over the dialog's background.
  virtual void Draw(gfx::Painter& painter) { (void)painter; }
  // Draws a control the toolkit does not draw itself (true), or leaves it to the toolkit.
  virtual bool DrawControl(gfx::Painter& painter, const LayerControl& control) {
    (void)painter;
    (void)control;
    return false;
  }
  // A click on one of the page's controls; false when the page has no such control.
  virtual bool OnControl(int id) {
    (void)id;
    return false;
  }
  // An entry of a drop-down list the page opened (popup id, index >= 0).
  virtual void OnPopupChosen(int popup_id, int index) {
    (void)popup_id;
    (void)index;
  }
  // A slider thumb of the page was let go (or jumped to a track click).
  virtual void OnSliderRelease(LayerControl& thumb) { (void)thumb; }
  // The colour popup the page opened chose a colour.
  virtual void OnColorPicked(int request_id, gfx::Color color) {
    (void)request_id;
    (void)color;
  }
  // Another page is about to be shown.
  virtual void OnLeave() {}

 protected:
  NewConfigDlg& dlg_;
};

}  // namespace quillo::ui
