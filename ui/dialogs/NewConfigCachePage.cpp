#include "ui/dialogs/NewConfigCachePage.h"

#include "resources/skins/SkinLayout.h"
#include "ui/dialogs/NewConfigDlg.h"

namespace quillo::ui {
namespace st = skin::settings;
namespace {
constexpr int kSliderTop = 186;
}

std::vector<int> NewConfigCachePage::AddControls() {
  dlg_.AddButton(st::kStepButton, st::kStepButton, 222, 181, st::kMinus.x, st::kMinus.y, kMinus);
  const gfx::Rect track{kCountSlider.track_left, kSliderTop,
                        kCountSlider.track_left + CountSlider::kTrackWidth, kSliderTop + 17};
  dlg_.AddSlider(st::kThumbWidth, st::kThumbHeight, kCountSlider.track_left, kSliderTop,
                 st::kSliderThumb.x, st::kSliderThumb.y, kSlider, track);
  dlg_.AddButton(st::kStepButton, st::kStepButton, 453, 181, st::kPlus.x, st::kPlus.y, kPlus);
  return {kMinus, kSlider, kPlus};
}

void NewConfigCachePage::Refresh() {
  if (LayerControl* thumb = dlg_.FindControl(kSlider)) {
    thumb->bounds = gfx::Rect::FromXYWH(kCountSlider.ThumbLeft(dlg_.working().CacheCount()),
                                        kSliderTop, st::kThumbWidth, st::kThumbHeight);
  }
}

void NewConfigCachePage::Draw(gfx::Painter& painter) {
  dlg_.DrawSection(painter, 65, "占用硬盘空间");
  dlg_.DrawText(painter, gfx::Rect{160, 92, 560, 110},
                "在试听时，Zelbo播放器将会把歌曲下载到你的电脑中，以便下次");
  dlg_.DrawText(painter, gfx::Rect{160, 112, 560, 130}, "播放时速度更快，更流畅。");
  dlg_.DrawText(painter, gfx::Rect{160, 151, 255, 170}, "缓存歌曲数量：");
  dlg_.DrawText(painter, gfx::Rect{255, 151, 330, 170},
                std::to_string(dlg_.working().CacheCount()) + "首", NewConfigDlg::kCountColor);
  const gfx::Rect track{kCountSlider.track_left, kSliderTop, kCountSlider.track_left + 192,
                        kSliderTop + 17};
  if (dlg_.skin()) painter.DrawImage(*dlg_.skin(), st::kSliderTrack, track);
}

bool NewConfigCachePage::OnControl(int id) {
  if (id != kMinus && id != kPlus) return false;
  dlg_.working().StepCache(id == kPlus);
  Refresh();
  dlg_.Redraw();
  return true;
}

void NewConfigCachePage::OnSliderRelease(LayerControl& thumb) {
  if (thumb.id != kSlider) return;
  dlg_.working().SetCacheCount(kCountSlider.CountAt(thumb.bounds.left));
  Refresh();
  dlg_.Redraw();
}

}  // namespace quillo::ui
