#pragma once
// What the main window's controls and commands do, as the command router sees it. The main
// window implements it over the player, the play queue, the panels and the other windows; tests
// give a recording fake. Window thread only.
#include <string>

namespace quillo::ui {

class MainActions {
 public:
  virtual ~MainActions() = default;

  // Play operations.
  virtual void Previous() = 0;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Next() = 0;
  virtual void PlaySelected() = 0;
  virtual int Volume() const = 0;
  virtual void SetVolume(int volume) = 0;
  virtual bool Muted() const = 0;
  virtual void SetMuted(bool muted) = 0;
  virtual void ChoosePlayMode(int command_id) = 0;

  // The window.
  virtual void Minimize() = 0;
  virtual void SwitchLayout(bool mini) = 0;
  virtual void RequestClose() = 0;  // the close procedure
  virtual void Exit() = 0;          // the exit flag, then the close procedure
  virtual void FoldMiniList(bool fold) = 0;
  virtual void SetPanelWidth(int width_px) = 0;
  virtual void ShowPanelPage(int page) = 0;
  // The scroll buttons: the song list (35, 36) or the playlist panel (38, 39) by rows
  // (negative: up).
  virtual void ScrollList(bool song_list, int rows) = 0;
  virtual void ShowVolumePopup(bool open) = 0;
  virtual void ShowControlMenu(int control_id) = 0;  // the menus of buttons 12, 44, 46, 47, 49
  virtual void OpenColorPicker() = 0;

  // Other windows and the desktop.
  virtual void OpenSettings() = 0;
  virtual void OpenEqualizer() = 0;
  virtual void OpenExtPanel(const std::string& relative_address) = 0;
  virtual void CloseExtPanel() = 0;
  virtual void OpenLyricView() = 0;
  virtual void CloseLyricView(bool remember) = 0;
  virtual void ChooseLyricMode(const std::string& mode) = 0;  // "bar" or "dialog"
  virtual void ToggleLyricLock() = 0;
  virtual void OpenMusicFolder() = 0;
  virtual void OpenPhoneFiles() = 0;
  // 56 / 57: minimise or expand the phone panel.
  virtual void SetPhonePanelMinimized(bool minimized) = 0;
  virtual void OpenInBrowser(const std::string& url) = 0;
  // The service's web site, ending with '/'.
  virtual std::string WebSite() const = 0;
  virtual bool Confirm(const std::string& message) = 0;

  // Login, lists and import.
  virtual void Login() = 0;
  virtual void Logout() = 0;
  virtual bool LoggedIn() const = 0;
  virtual std::string CurrentUserId() const = 0;
  virtual void NewRandomBatch() = 0;
  virtual void ImportLocal(bool folder) = 0;
  virtual void SortShownList(bool by_artist) = 0;
  // A command of the song list, the playlist panel or the list commands; false when unknown.
  virtual bool ListCommand(int command_id) = 0;
};

}  // namespace quillo::ui
