#pragma once
// The program's settings dialog and equaliser, one of each at a time: the main window's control
// 13 and command "设置", the tray's "设置", the lyric window's "设置字体和颜色" and the lyric bar's
// control 17 open the settings dialog on their page (ShowSettingsDialog); the menus' "均衡器"
// opens the equaliser. A second request while one is open brings it forward (the settings
// dialog switching to the page asked for, when one is).
//
// Window thread. Everything in Parts outlives this object; a dialog that closes is released on
// a later loop turn, never inside its own handler.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/loop/LoopTarget.h"
#include "playback/EqualizerPresets.h"
#include "ui/dialogs/NewConfigApply.h"
#include "ui/main/LaterWindows.h"

namespace quillo::gfx {
class FontFamilySource;
}
namespace quillo::playback {
class MediaPlayer;
}
namespace quillo::window {
class FileChooser;
}

namespace quillo::ui {

class BalanceDlg;
class LayerWnd;
class NewConfigDlg;

class SettingsWindows : public SettingsDialogHost, public EqualizerHost {
 public:
  struct Parts {
    loop::MainLoop& loop;
    store::DocumentStore& store;
    playback::MediaPlayer& player;
    const gfx::FontFamilySource* fonts = nullptr;  // null: only our own faces are offered
    window::FileChooser* chooser = nullptr;
    // Whether the autostart entry is there (read each time the dialog is made).
    std::function<bool()> autorun_registered;
    NewConfigEffects effects;
    // The window the dialogs are placed by (the main window); may answer null.
    std::function<LayerWnd*()> main_window;
  };

  explicit SettingsWindows(Parts parts);
  ~SettingsWindows() override;
  SettingsWindows(const SettingsWindows&) = delete;
  SettingsWindows& operator=(const SettingsWindows&) = delete;

  // The dialog on `page` (10 … 17; a group its first page; 0 keeps the page of an open one,
  // anything else opens on 10).
  void ShowSettingsDialog(int page);
  NewConfigDlg* settings_dialog() { return settings_.get(); }
  BalanceDlg* equalizer() { return equalizer_.get(); }

  // SettingsDialogHost: the main window's control 13 and command 32983 (the first page).
  void ShowSettings() override { ShowSettingsDialog(1); }
  // EqualizerHost.
  void ShowEqualizer() override;

 private:
  gfx::Rect MainRect() const;
  gfx::Rect SettingsPlace() const;

  Parts parts_;
  loop::LoopTarget target_;
  playback::EqualizerPresets presets_;
  std::unique_ptr<NewConfigDlg> settings_;
  std::unique_ptr<BalanceDlg> equalizer_;
  // Closed dialogs wait here for the next loop turn.
  std::vector<std::unique_ptr<LayerWnd>> closed_;
};

}  // namespace quillo::ui
