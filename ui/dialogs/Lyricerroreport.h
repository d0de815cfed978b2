#pragma once
// The lyric error report ("歌词纠错"): a message box with four check boxes, one per kind of
// error, a single-line field beside "其他", "确定" (id 6) and "取消" (id 7). A click on a box or
// its text toggles the box. The box only collects the answer; ShowLyricErrorReport sends it.
// Window thread.
#include <array>
#include <string>

#include "ui/dialogs/LayerMessageBoxDlg.h"
#include "ui/toolkit/LayerEdit.h"

namespace quillo::lyrics {
class LyricAnalyzer;
}

namespace quillo::ui {

class Lyricerroreport : public LayerMessageBoxDlg {
 public:
  static constexpr int kOk = 6;
  static constexpr int kCancel = 7;
  static constexpr int kBoxCount = 4;
  static constexpr int CheckId(int box) { return 8 + 2 * box; }
  static constexpr int LabelId(int box) { return 9 + 2 * box; }

  Lyricerroreport();
  ~Lyricerroreport() override;

  void Layout() override;
  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnDestroy() override;

  // What "确定" took: the checked boxes and, only when "其他" is checked, the field's text.
  const std::array<bool, kBoxCount>& checked() const { return checked_; }
  const std::string& other_text() const { return other_text_; }
  LayerEdit& edit() { return edit_; }
  // The field beside "其他", for a text area height.
  gfx::Rect EditRect() const;

 private:
  int RowTop(int box) const;

  std::array<bool, kBoxCount> checked_{};
  std::string other_text_;
  LayerEdit edit_;
};

// Runs the report box modally over `owner` (the main window when null) and, on "确定", sends one
// report per checked box through the analyzer. True when at least one report was sent.
bool ShowLyricErrorReport(lyrics::LyricAnalyzer& analyzer, LayerWnd* owner);

}  // namespace quillo::ui
