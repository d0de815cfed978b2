#include "ui/dialogs/MusicTipDlg.h"

#include <algorithm>
#include <memory>

#include "platform/gfx/TextMeasure.h"
#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/PopupOwner.h"
#include "ui/toolkit/SkinManager.h"

namespace quillo::ui {
namespace {
gfx::Font TipFont() {
  return gfx::Font::Points("宋体", 9);
}
}  // namespace

MusicTipDlg::MusicTipDlg() : LayerWnd(0) {
  SetAcceptFocus(false);
  SetKeepAbove(true);
  SetShowCommand(ShowCommand::kHide);
}

MusicTipDlg* MusicTipDlg::Current() {
  return PopupOwner::FindAnywhere<MusicTipDlg>();
}

void MusicTipDlg::ArmShowTimer() {
  if (!IsCreated()) return;
  show_timer_.Start(std::chrono::milliseconds(kShowDelayMs), [this] { OnShowTimer(); });
}

void MusicTipDlg::OnShowTimer() {
  show_timer_.Stop();
  DrawAll();
  Show(false);
  SetKeepAbove(true);
}

void MusicTipDlg::DrawBackground() {
  gfx::Painter p(back_buffer());
  gfx::Size s = ClientSize();
  gfx::Rect all{0, 0, s.width, s.height};
  p.FillRectSource(all, gfx::Color{255, 248, 225, 255});
  p.StrokeRect(all, gfx::Color{154, 144, 103, 255});
  const gfx::Surface& frame = *SkinManager::Instance().Image(skin::kDialogFrame, true);
  gfx::Color caption = SkinManager::PixelColor(frame, skin::frame::kTipCaptionPixel.x,
                                               skin::frame::kTipCaptionPixel.y);
  gfx::Color value =
      SkinManager::PixelColor(frame, skin::frame::kTipValuePixel.x, skin::frame::kTipValuePixel.y);
  const char* captions[3] = {"歌曲名:", "歌手名:", texts_.local ? "  类型:" : "专辑名:"};
  const std::string values[3] = {texts_.title, texts_.artist,
                                 texts_.local ? std::string("本地音乐") : texts_.album};
  gfx::TextOptions options;
  options.ellipsize = true;
  for (int i = 0; i < 3; ++i) {
    int y = 9 + 16 * i;
    p.DrawText(captions[i], TipFont(), caption, gfx::Rect{10, y, 56, y + 16});
    p.DrawText(values[i], TipFont(), value, gfx::Rect{56, y, s.width - 4, y + 16}, options);
  }
}

void MusicTipDlg::OnMouseLeave() {
  LayerWnd::OnMouseLeave();
  PostClose();
}

void MusicTipDlg::OnLButtonDown(const window::MouseEvent&) {
  PostClose();
}

bool MusicTipDlg::IsDragArea(int, int) {
  return false;
}

void MusicTipDlg::OnDestroy() {
  show_timer_.Stop();
  // The window it was shown for deletes the object outside this stack.
  PopupOwner::ReleaseAnywhere(this);
}

void ShowSongTip(int x, int y, int width, const std::string& title, const std::string& artist,
                 const std::string& album, bool local, LayerWnd* owner) {
  gfx::Rect rect = gfx::Rect::FromXYWH(x, y, width, MusicTipDlg::kHeight);
  MusicTipDlg* tip = MusicTipDlg::Current();
  if (tip) {
    tip->Hide();
    tip->SetWindowRect(rect);
  } else {
    PopupOwner& holder = PopupOwner::For(owner);
    tip = holder.Adopt(std::make_unique<MusicTipDlg>());
    if (!tip->Create(rect, owner, window::WindowKind::kTooltip)) {
      holder.Release(tip);
      return;
    }
  }
  tip->SetTexts(MusicTipDlg::Texts{title, artist, album, local});
  tip->ArmShowTimer();
}

void HideSongTip() {
  if (MusicTipDlg* tip = MusicTipDlg::Current()) tip->Close();
}

gfx::Point SongTipPosition(const gfx::Rect& list, int scroll_bar_width, int row_top, int width,
                           const gfx::Rect& work_area) {
  int x = list.right - scroll_bar_width;
  if (x + width > work_area.right) {
    int left = list.left - width;
    if (left > work_area.left) x = left;
  }
  return gfx::Point{x, row_top};
}

int SongTipWidth(const std::vector<std::string>& values) {
  int widest = 0;
  for (const std::string& v : values)
    widest = std::max(widest, gfx::TextMeasure::Width(v, TipFont()));
  return widest + 100;
}

}  // namespace quillo::ui
