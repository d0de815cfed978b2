#include "ui/dialogs/Lyricerroreport.h"

#include <algorithm>

#include "lyrics/LyricErrorReport.h"
#include "platform/gfx/TextMeasure.h"
#include "ui/dialogs/MessageBoxes.h"

namespace quillo::ui {
namespace {
constexpr int kRowPitch = 20;
// The last row is a little lower: its field is as high as a row.
constexpr int kFieldRowExtra = 4;
constexpr int kFieldHeight = 20;
}  // namespace

Lyricerroreport::Lyricerroreport()
    : LayerMessageBoxDlg(lyrics::kLyricErrorReportTitle, lyrics::kLyricErrorReportText),
      edit_(*this, gfx::Rect{}) {}

Lyricerroreport::~Lyricerroreport() {
  Destroy();
}

void Lyricerroreport::Layout() {
  LayerMessageBoxDlg::Layout();
  set_height(height() + kBoxCount * kRowPitch + kFieldRowExtra + 4);
}

int Lyricerroreport::RowTop(int box) const {
  const int y0 = text_height() + 46;
  return y0 + kRowPitch * box + (box == kBoxCount - 1 ? kFieldRowExtra : 0);
}

gfx::Rect Lyricerroreport::EditRect() const {
  const int label_right =
      47 + gfx::TextMeasure::Width(lyrics::kLyricErrorTypes[kBoxCount - 1], MessageFont());
  const int top = RowTop(kBoxCount - 1) - 1;
  return gfx::Rect{label_right + 10, top, 27 + text_width(), top + kFieldHeight};
}

void Lyricerroreport::InitLayer() {
  LayerMessageBoxDlg::InitLayer();
  checked_.fill(false);
  other_text_.clear();
  for (int i = 0; i < kBoxCount; ++i) {
    const char* text = lyrics::kLyricErrorTypes[static_cast<std::size_t>(i)];
    const int top = RowTop(i);
    AddToggle(ControlKind::kCheckBox, gfx::Rect::FromXYWH(27, top + 2, 12, 12), CheckId(i), false);
    const int width = std::min(300, gfx::TextMeasure::Width(text, MessageFont()));
    AddLinkedLabel(gfx::Rect::FromXYWH(47, top + 1, width, 15), text, LabelId(i), CheckId(i));
  }
  AddLeftButton(lyrics::kLyricErrorReportOk, kOk);
  AddRightButton(lyrics::kLyricErrorReportCancel, kCancel);
  edit_.SetRect(EditRect());
  edit_.Create();
}

void Lyricerroreport::DrawBackground() {
  LayerMessageBoxDlg::DrawBackground();
  gfx::Painter p(back_buffer());
  gfx::Color frame = MessageColor();
  frame.a = 255;
  const gfx::Rect field = EditRect();
  p.StrokeRect(gfx::Rect{field.left - 1, field.top - 1, field.right + 1, field.bottom + 1}, frame);
  edit_.CopyIntoOwner();
}

void Lyricerroreport::OnControlEvent(LayerControl* control, int code) {
  for (int i = 0; i < kBoxCount; ++i) {
    if (code == CheckId(i)) {
      checked_[static_cast<std::size_t>(i)] = !checked_[static_cast<std::size_t>(i)];
      SetChecked(code, checked_[static_cast<std::size_t>(i)]);
      return;
    }
  }
  if (code == kOk) {
    other_text_ = checked_[lyrics::kOtherErrorType] ? edit_.Text() : std::string();
  } else if (code == kCancel) {
    checked_.fill(false);
  }
  if (code == kOk || code == kCancel) return Answer(code);
  LayerMessageBoxDlg::OnControlEvent(control, code);
}

void Lyricerroreport::OnDestroy() {
  edit_.Destroy();
}

bool ShowLyricErrorReport(lyrics::LyricAnalyzer& analyzer, LayerWnd* owner) {
  Lyricerroreport box;
  RunMessageBox(box, owner);
  if (box.result() != Lyricerroreport::kOk) return false;
  return lyrics::SendLyricErrorReport(analyzer, box.checked(), box.other_text()) > 0;
}

}  // namespace quillo::ui
