#include "ui/main/MainCommandRouter.h"

#include "ui/main/MainIds.h"

namespace quillo::ui {

using namespace main_ids;

int MainCommandRouter::VolumeAfterStep(int volume, bool up) {
  if (up) return volume >= 90 ? 100 : volume + 10;
  return volume <= 10 ? 0 : volume - 10;
}

void MainCommandRouter::StepVolume(bool up) {
  const int volume = actions_.Volume();
  if (actions_.Muted()) actions_.SetMuted(false);
  if (!up && volume == 0) return;
  actions_.SetVolume(VolumeAfterStep(volume, up));
}

void MainCommandRouter::MySpace() {
  if (!actions_.LoggedIn()) {
    if (actions_.Confirm(kMySpaceQuestion)) actions_.OpenExtPanel(kRegisterPage);
    return;
  }
  actions_.OpenInBrowser(actions_.WebSite() + "my/index.php?user_id=" + actions_.CurrentUserId());
}

bool MainCommandRouter::OnControl(int id) {
  switch (id) {
    case kPrevious:
      actions_.Previous();
      return true;
    case kPlay:
      actions_.Play();
      return true;
    case kPause:
      actions_.Pause();
      return true;
    case kNext:
      actions_.Next();
      return true;
    case kMute:
      actions_.SetMuted(true);
      return true;
    case kUnmute:
      actions_.SetMuted(false);
      return true;
    case kMiniMinimize:
    case kMinimize:
      actions_.Minimize();
      return true;
    case kNormalMode:
      actions_.SwitchLayout(false);
      return true;
    case kMiniMode:
      actions_.SwitchLayout(true);
      return true;
    case kClose:
      actions_.RequestClose();
      return true;
    case kSettings:
      actions_.OpenSettings();
      return true;
    case kExtOpen:
      actions_.OpenExtPanel("");
      return true;
    case kExtClose:
      actions_.CloseExtPanel();
      return true;
    case kMusicFolder:
      actions_.OpenMusicFolder();
      return true;
    case kLyricOpen:
      actions_.OpenLyricView();
      return true;
    case kLyricClose:
      actions_.CloseLyricView(true);
      return true;
    case kPage0:
      actions_.ShowPanelPage(0);
      return true;
    case kPage2:
      actions_.ShowPanelPage(2);
      return true;
    case kPage3:
      actions_.ShowPanelPage(3);
      return true;
    case kPanelOpen:
      actions_.SetPanelWidth(kPanelOpenWidth);
      return true;
    case kSongScrollUp:
    case kSongScrollDown:
      actions_.ScrollList(true, id == kSongScrollUp ? -1 : 1);
      return true;
    case kPanelScrollUp:
    case kPanelScrollDown:
      actions_.ScrollList(false, id == kPanelScrollUp ? -1 : 1);
      return true;
    case kPanelClose:
      actions_.SetPanelWidth(0);
      return true;
    case kUnfold:
      actions_.FoldMiniList(false);
      return true;
    case kFold:
      actions_.FoldMiniList(true);
      return true;
    case kVolumeOpen:
      actions_.ShowVolumePopup(true);
      return true;
    case kVolumeClose:
      actions_.ShowVolumePopup(false);
      return true;
    case kLogin:
      actions_.Login();
      return true;
    case kRegister:
      actions_.OpenExtPanel(kRegisterPage);
      return true;
    case kLogout:
      actions_.Logout();
      return true;
    case kTrayMenu:
    case kImport:
    case kImport2:
    case kPlayMode:
    case kSort:
    case kSort2:
    case kAddTo:
    case kListHeader1:
    case kListHeader2:
      actions_.ShowControlMenu(id);
      return true;
    case kNewBatch:
      actions_.NewRandomBatch();
      return true;
    case kPhoneFiles:
      actions_.OpenPhoneFiles();
      return true;
    case kPanelToggle1:
    case kPanelToggle2:
      actions_.SetPhonePanelMinimized(id == kPanelToggle1);
      return true;
    default:
      return false;
  }
}

bool MainCommandRouter::OnCommand(int command_id) {
  switch (command_id) {
    case kCmdPlaySelected:
      actions_.PlaySelected();
      return true;
    case kCmdExit:
      actions_.Exit();
      return true;
    case kCmdPlay:
      actions_.Play();
      return true;
    case kCmdPause:
      actions_.Pause();
      return true;
    case kCmdPrevious:
      actions_.Previous();
      return true;
    case kCmdNext:
      actions_.Next();
      return true;
    case kCmdVolumeUp:
      StepVolume(true);
      return true;
    case kCmdVolumeDown:
      StepVolume(false);
      return true;
    case kCmdMute:
      actions_.SetMuted(!actions_.Muted());
      return true;
    case kCmdSettings:
      actions_.OpenSettings();
      return true;
    case kCmdEqualizer:
      actions_.OpenEqualizer();
      return true;
    case kCmdWebSite:
      actions_.OpenInBrowser(actions_.WebSite() + "?f=c");
      return true;
    case kCmdMySpace:
      MySpace();
      return true;
    case kCmdLyricBar:
      actions_.ChooseLyricMode("bar");
      return true;
    case kCmdLyricDialog:
      actions_.ChooseLyricMode("dialog");
      return true;
    case kCmdLyricClose:
      actions_.CloseLyricView(true);
      return true;
    case kCmdLyricLock:
      actions_.ToggleLyricLock();
      return true;
    case kCmdMinimizeToTray:
      actions_.Minimize();
      return true;
    case kCmdAddLocalSongs:
      actions_.ImportLocal(false);
      return true;
    case kCmdAddLocalFolder:
      actions_.ImportLocal(true);
      return true;
    case kCmdSortByName:
      actions_.SortShownList(false);
      return true;
    case kCmdSortByArtist:
      actions_.SortShownList(true);
      return true;
    default:
      break;
  }
  if (command_id >= kCmdModeFirst && command_id <= kCmdModeLast) {
    actions_.ChoosePlayMode(command_id);
    return true;
  }
  return actions_.ListCommand(command_id);
}

}  // namespace quillo::ui
