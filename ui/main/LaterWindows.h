#pragma once
// The windows that come later (the hosted page panel, the settings dialog, the phone panel and
// the equaliser), as the main window reaches them. Each is optional: without it the hosted
// pages open in the default browser and the other controls are drawn disabled. Window thread;
// whoever sets one keeps it alive while the main window exists.
#include <string>

namespace quillo::gfx {
class Painter;
struct Rect;
}  // namespace quillo::gfx

namespace quillo::ui {

// The hosted page panel beside the main window (register, artist and song pages).
class HostedPagePanel {
 public:
  virtual ~HostedPagePanel() = default;
  // Shows the panel at the absolute address.
  virtual void Open(const std::string& url) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Asks the open panel's page to show one song; false when it cannot (closed, or no page loaded
  // yet), and the caller opens the song's page instead.
  virtual bool ShowMusic(const std::string& /*music_id*/) { return false; }
};

// The settings dialog (command 32983, control 13).
class SettingsDialogHost {
 public:
  virtual ~SettingsDialogHost() = default;
  virtual void ShowSettings() = 0;
};

// The connected phone's panel: its root folder (control 55), the transfer animation (timer 108)
// and its minimised or expanded state (controls 56 and 57; the window keeps the state in
// "module.device.is_minimized" and tells the panel).
class PhonePanelHost {
 public:
  virtual ~PhonePanelHost() = default;
  virtual bool TransferRunning() const = 0;
  virtual void RedrawAnimation(int frame) = 0;
  virtual bool DeviceConnected() const = 0;
  virtual void SetMinimized(bool minimized) = 0;
  // Draws the panel (device line, sizes, used-space bar) into the window's band for it; called
  // while a device is connected, in the normal layout.
  virtual void Draw(gfx::Painter& /*painter*/, const gfx::Rect& /*band*/) {}
  // 55: the connected device's root folder in the file manager.
  virtual void OpenRootFolder() {}
};

// The equaliser dialog.
class EqualizerHost {
 public:
  virtual ~EqualizerHost() = default;
  virtual void ShowEqualizer() = 0;
};

struct LaterWindows {
  HostedPagePanel* hosted_pages = nullptr;
  SettingsDialogHost* settings = nullptr;
  PhonePanelHost* phone = nullptr;
  EqualizerHost* equalizer = nullptr;
};

}  // namespace quillo::ui
