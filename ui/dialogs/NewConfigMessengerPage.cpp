#include "ui/dialogs/NewConfigMessengerPage.h"

#include "resources/skins/SkinLayout.h"
#include "store/ConfigKeys.h"
#include "ui/dialogs/NewConfigDlg.h"

namespace quillo::ui {
namespace keys = store::keys;
namespace st = skin::settings;

std::vector<int> NewConfigMessengerPage::AddControls() {
  dlg_.AddToggle(ControlKind::kCheckBox, gfx::Rect::FromXYWH(162, 91, 13, 13), kSend, true);
  dlg_.AddLinkedLabel(gfx::Rect{180, 88, 400, 108}, "发送播放信息到MSN", kSend + 1, kSend);
  dlg_.AddToggle(ControlKind::kRadio, gfx::Rect::FromXYWH(182, 115, 13, 13), kSendName, true);
  dlg_.AddLinkedLabel(gfx::Rect{200, 112, 400, 132}, "发送歌曲名", kSendName + 1, kSendName);
  dlg_.AddToggle(ControlKind::kRadio, gfx::Rect::FromXYWH(182, 139, 13, 13), kSendLyric, false);
  dlg_.AddLinkedLabel(gfx::Rect{200, 136, 400, 156}, "发送歌词", kSendLyric + 1, kSendLyric);
  return {kSend, kSend + 1, kSendName, kSendName + 1, kSendLyric, kSendLyric + 1};
}

void NewConfigMessengerPage::Refresh() {
  const NewConfigWorkingCopy& w = dlg_.working();
  const bool lyric = w.Get(keys::kSendToMsnType) == "lyric";
  if (LayerControl* c = dlg_.FindControl(kSend)) c->checked = w.IsTrue(keys::kSendToMsn);
  if (LayerControl* c = dlg_.FindControl(kSendName)) c->checked = !lyric;
  if (LayerControl* c = dlg_.FindControl(kSendLyric)) c->checked = lyric;
}

void NewConfigMessengerPage::Draw(gfx::Painter& painter) {
  dlg_.DrawSection(painter, 65, "MSN关联");
  dlg_.DrawSection(painter, 175, "预览");
  const NewConfigWorkingCopy& w = dlg_.working();
  const gfx::Rect& picture = !w.IsTrue(keys::kSendToMsn)                ? st::kMsnOff
                             : w.Get(keys::kSendToMsnType) == "lyric" ? st::kMsnLyric
                                                                        : st::kMsnName;
  if (dlg_.skin()) painter.DrawImage(*dlg_.skin(), picture, kPreviewOrigin);
  dlg_.DrawText(painter, gfx::Rect{160, 275, 560, 293},
                "在本桌面上，所选的文字作为正在播放的内容，");
  dlg_.DrawText(painter, gfx::Rect{160, 295, 560, 313},
                "通过媒体播放器接口（MPRIS）发布给聊天和桌面程序。");
}

bool NewConfigMessengerPage::OnControl(int id) {
  NewConfigWorkingCopy& w = dlg_.working();
  switch (id) {
    case kSend:
      w.Toggle(keys::kSendToMsn);
      break;
    case kSendName:
      w.Set(keys::kSendToMsnType, "name");
      break;
    case kSendLyric:
      w.Set(keys::kSendToMsnType, "lyric");
      break;
    default:
      return false;
  }
  Refresh();
  dlg_.Redraw();
  return true;
}

}  // namespace quillo::ui
