#pragma once
// The settings dialog "Zelbo音乐设置" (skin 185, 576 × 452): the tree of groups and pages on the
// left, the current page's controls on the right, and "确定" (43), "取消" (44), "应用" (45) at the
// bottom. It edits a working copy of the configuration (NewConfigWorkingCopy); "确定" and "应用"
// write it (NewConfigApply), "取消", the close button and the window manager's close write
// nothing. The pages are NewConfigPage objects; their controls are made once and shown while
// their page is current, each put in its working state whenever the page is selected.
//
// Closing saves the "configdlg" rectangle when the dialog was moved; a dialog closed where it
// opened writes nothing at all.
//
// Whoever opens the dialog keeps it (SettingsWindows: one at a time) and is told when it has
// closed. Window thread.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dialogs/EnsureFolder.h"
#include "ui/dialogs/NewConfigApply.h"
#include "ui/dialogs/NewConfigWorkingCopy.h"
#include "ui/dialogs/NumRangeEdit.h"
#include "ui/toolkit/MultiLayerDlg.h"

namespace quillo::window {
class FileChooser;
}

namespace quillo::ui {

class LayerListPopup;
class NewConfigPage;

class NewConfigDlg : public MultiLayerDlg {
 public:
  static constexpr int kWidth = 576;
  static constexpr int kHeight = 452;
  static constexpr int kOkId = 43;
  static constexpr int kCancelId = 44;
  static constexpr int kApplyId = 45;
  static constexpr std::string_view kTitle = "Zelbo音乐设置";
  static constexpr std::string_view kRectName = "configdlg";
  // The page area: right of the tree, above the buttons.
  static constexpr int kPageLeft = 135;
  static constexpr int kPageRight = 565;
  static constexpr gfx::Point kPageTitleOrigin{150, 35};
  static constexpr gfx::Color kCountColor{210, 74, 28, 255};

  struct Services {
    store::DocumentStore& store;
    // The desktop's font families in its enumeration order (the lists leave some out).
    std::vector<std::string> font_families;
    bool autorun_registered = false;
    // The music folder's questions; unset: the program's message boxes over the dialog.
    FolderQuestions questions;
    NewConfigEffects effects;
    window::FileChooser* chooser = nullptr;  // may be null: button 33 does nothing
    // Runs once the dialog has been destroyed (its owner may release it on a later turn).
    std::function<void()> on_closed;
  };

  // `page`: as ShowSettingsDialog gets it (a group means its first page, anything else 10).
  NewConfigDlg(Services services, int page);
  ~NewConfigDlg() override;

  // Where the dialog opens: the saved "configdlg" rectangle, else 576 × 452 centred on
  // `centre_on` (the desktop's work area when empty), not above or left of the screen.
  gfx::Rect InitialRect(const gfx::Rect& centre_on) const;

  // A tree click on a page, or a caller asking for one (a group: its first page).
  void SelectPage(int page);
  // A click on a group header: opens it and selects its first page; the open one: nothing.
  void OpenGroup(int group);
  // "确定" and "应用": writes the working copy (see NewConfigApply).
  void Apply();

  int page() const { return page_; }
  int group() const { return group_; }
  NewConfigWorkingCopy& working() { return working_; }
  const NewConfigWorkingCopy& working() const { return working_; }
  NewConfigPage* CurrentPage();

  // The drop-down lists.
  const std::vector<std::string>& fonts() const { return fonts_; }
  static const std::vector<std::string>& LyricBarSizes();
  static const std::vector<std::string>& LyricWindowSizes();
  static const std::vector<std::string>& Alignments();
  // The font list from the desktop's families: our faces first ("宋体", "黑体", "Verdana",
  // "Arial", which our aliases resolve), then the families, without names that begin with '@',
  // "System" and repeats.
  static std::vector<std::string> FontList(const std::vector<std::string>& families);

  // ---- For the pages ---------------------------------------------------------------------
  // Opens the list under control `control_id` with the entry equal to `value` selected (the
  // first when none is); the page hears of the choice through OnPopupChosen(popup_id, index).
  void OpenDropDown(int control_id, int popup_id, const std::vector<std::string>& items,
                    const std::string& value);
  // Opens the colour popup under the control for the request (nothing while one is open).
  void OpenColorPopup(int control_id, int request_id);
  // The folder browser "请选择Zelbo音乐目录"; none when cancelled or there is no chooser.
  std::optional<std::string> ChooseFolder();
  // The count edit of the download page (made on its first visit, kept to the end).
  NumRangeEdit* count_edit() { return count_edit_.get(); }
  void SetControlText(int id, std::string text);
  // Redraws the page area and pushes it to the screen.
  void Redraw();
  // A section heading with its line, and a plain text, in the page's colours.
  void DrawSection(gfx::Painter& painter, int y, std::string_view title);
  void DrawText(gfx::Painter& painter, gfx::Rect box, std::string_view text,
                std::optional<gfx::Color> color = std::nullopt);
  gfx::Color LabelColor() const;

  // ---- LayerWnd ----------------------------------------------------------------------------
  void InitLayer() override;
  void DrawControl(LayerControl& control) override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnSliderRelease(LayerControl& control) override;
  void OnColorPicked(int request_id, gfx::Color color) override;
  void OnClose() override;
  void OnDestroy() override;

 protected:
  void DrawPage(gfx::Painter& painter, int index) override;

 private:
  NewConfigPage* PageById(int id);
  void LayOutTree();
  void ShowCountEdit(bool shown);
  void DrawTreeRow(gfx::Painter& painter, const LayerControl& row);

  Services services_;
  NewConfigWorkingCopy working_;
  std::vector<std::string> fonts_;
  std::vector<std::unique_ptr<NewConfigPage>> pages_;
  std::map<int, int> page_index_;  // tree id → MultiLayerDlg page index
  int page_;
  int group_ = 0;
  std::unique_ptr<NumRangeEdit> count_edit_;
  bool count_edit_shown_ = false;
  // The drop-down list open now (or last).
  std::unique_ptr<LayerListPopup> drop_down_;
  // Where the dialog was made (its rectangle is saved at the end only when it moved).
  std::optional<gfx::Rect> opened_at_;
};

}  // namespace quillo::ui
