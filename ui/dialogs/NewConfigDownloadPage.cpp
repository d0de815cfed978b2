#include "ui/dialogs/NewConfigDownloadPage.h"

#include "resources/skins/SkinLayout.h"
#include "ui/dialogs/NewConfigDlg.h"

namespace quillo::ui {
namespace st = skin::settings;
namespace {
constexpr int kSliderTop = 297;
constexpr gfx::Rect kCountText{300, 265, 360, 280};
}  // namespace

std::vector<int> NewConfigDownloadPage::AddControls() {
  dlg_.AddTextButton(gfx::Rect{448, 90, 520, 110}, "更改目录", kChangeFolder);
  dlg_.AddButton(st::kStepButton, st::kStepButton, 162, 292, st::kMinus.x, st::kMinus.y, kMinus);
  const gfx::Rect track{kCountSlider.track_left, kSliderTop,
                        kCountSlider.track_left + CountSlider::kTrackWidth, kSliderTop + 17};
  dlg_.AddSlider(st::kThumbWidth, st::kThumbHeight, kCountSlider.track_left, kSliderTop,
                 st::kSliderThumb.x, st::kSliderThumb.y, kSlider, track);
  dlg_.AddButton(st::kStepButton, st::kStepButton, 393, 292, st::kPlus.x, st::kPlus.y, kPlus);
  return {kChangeFolder, kMinus, kSlider, kPlus};
}

void NewConfigDownloadPage::Refresh() {
  ShowCount();
  if (NumRangeEdit* edit = dlg_.count_edit()) {
    edit->SetOnCommit([this](int count) {
      dlg_.working().SetDownloadCount(count);
      ShowCount();
      dlg_.Redraw();
    });
  }
}

void NewConfigDownloadPage::ShowCount() {
  const int count = dlg_.working().DownloadCount();
  if (LayerControl* thumb = dlg_.FindControl(kSlider)) {
    thumb->bounds = gfx::Rect::FromXYWH(kCountSlider.ThumbLeft(count), kSliderTop,
                                        st::kThumbWidth, st::kThumbHeight);
  }
  if (NumRangeEdit* edit = dlg_.count_edit(); edit && edit->value() != count) edit->SetValue(count);
}

void NewConfigDownloadPage::Draw(gfx::Painter& painter) {
  dlg_.DrawSection(painter, 65, "下载音乐保存目录");
  dlg_.DrawText(painter, gfx::Rect{160, 90, 240, 110}, "音乐存放目录");
  gfx::Color frame{187, 187, 187, 255};
  painter.FillRect(kFolderField, gfx::Color{255, 255, 255, 255});
  painter.StrokeRect(kFolderField, frame);
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  painter.DrawText(dlg_.working().Get(NewConfigWorkingCopy::kMusicFolder), dlg_.control_font(),
                   dlg_.LabelColor(),
                   gfx::Rect{kFolderField.left + 3, kFolderField.top, kFolderField.right - 2,
                             kFolderField.bottom},
                   options);

  dlg_.DrawSection(painter, 140, "同时下载数量");
  dlg_.DrawText(painter, gfx::Rect{160, 165, 560, 183},
                "你也可以在下载管理页里自己手动修改同时下载的歌曲数量。");
  dlg_.DrawText(painter, gfx::Rect{160, 187, 560, 205},
                "同时下载数量增加可能会影响你的网络浏览速度，默认数量为2首。");
  dlg_.DrawText(painter, gfx::Rect{160, 263, 300, 282}, "默认自动同时下载数量：");
  dlg_.DrawText(painter, gfx::Rect{kCountText.left, 263, 360, 282},
                std::to_string(dlg_.working().DownloadCount()) + "首", NewConfigDlg::kCountColor);
  gfx::Painter& p = painter;
  const gfx::Rect track{kCountSlider.track_left, 297, kCountSlider.track_left + 192, 314};
  if (dlg_.skin()) p.DrawImage(*dlg_.skin(), st::kSliderTrack, track);
  dlg_.DrawText(painter, gfx::Rect{464, 294, 490, 315}, "首");
}

bool NewConfigDownloadPage::OnControl(int id) {
  NewConfigWorkingCopy& w = dlg_.working();
  switch (id) {
    case kChangeFolder:
      if (std::optional<std::string> chosen = dlg_.ChooseFolder(); chosen && !chosen->empty()) {
        w.Set(NewConfigWorkingCopy::kMusicFolder, *chosen);
      }
      break;
    case kMinus:
    case kPlus:
      w.StepDownloads(id == kPlus);
      ShowCount();
      break;
    default:
      return false;
  }
  dlg_.Redraw();
  return true;
}

void NewConfigDownloadPage::OnSliderRelease(LayerControl& thumb) {
  if (thumb.id != kSlider) return;
  dlg_.working().SetDownloadCount(kCountSlider.CountAt(thumb.bounds.left));
  ShowCount();
  dlg_.Redraw();
}

void NewConfigDownloadPage::OnLeave() {
  // A number still being typed counts when the page is left.
  if (NumRangeEdit* edit = dlg_.count_edit(); edit && edit->IsCreated()) {
    dlg_.working().SetDownloadCount(edit->Commit());
  }
}

}  // namespace quillo::ui
