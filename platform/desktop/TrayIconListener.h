#pragma once
// What the tray icon tells its owner (the main window). Every call comes on the window thread,
// from the loop, never from inside a TrayIcon operation.
namespace quillo::desktop {

class TrayIconListener {
 public:
  virtual ~TrayIconListener() = default;
  // The left click (a status notifier host's Activate): show and raise the main window.
  virtual void OnTrayActivate() = 0;
  // Just before the menu is shown: the owner may call SetMenu to bring checks and captions up
  // to date; the menu shown is the one set when this returns.
  virtual void OnTrayMenuOpening() {}
  // A menu entry was chosen: its id.
  virtual void OnTrayCommand(int id) = 0;
  // A tray host appeared or went away (CanShow changed).
  virtual void OnTrayAvailabilityChanged(bool /*can_show*/) {}
};

}  // namespace quillo::desktop
