#pragma once
// The main window's side of the tray icon: the tip ("Zelbo音乐" at start, the song title at
// every song start), the menu rebuilt from the window's state each time it opens, the left
// click and the menu commands handed to the window, and the answer to "may the window hide to
// the tray?" (only while something shows the icon; otherwise it must minimise, so the program
// never becomes unreachable).
//
// Use: construct the controller, create the icon with it as the listener
// (desktop::CreateTrayIcon(controller, options)), then Attach the icon. Window thread only.
// Ownership: the controller owns the attached icon; Remove drops it (shutdown removes the icon).
#include <functional>
#include <memory>
#include <string>

#include "platform/desktop/TrayIcon.h"
#include "platform/desktop/TrayIconListener.h"
#include "ui/desktop/TrayMenuModel.h"

namespace quillo::ui {

class TrayController : public desktop::TrayIconListener {
 public:
  struct WindowActions {
    // The window's state for the menu's items and checks, read when the menu opens.
    std::function<TrayMenuState()> menu_state;
    // The left click: show the window if hidden, restore it, bring it to the front.
    std::function<void()> show_window;
    // A menu command, routed as the window's own menu commands are.
    std::function<void(int id)> command;
    // The icon stopped showing while the window was hidden to the tray: show it again.
    std::function<void()> tray_lost;
  };

  explicit TrayController(WindowActions actions);
  ~TrayController() override;
  TrayController(const TrayController&) = delete;
  TrayController& operator=(const TrayController&) = delete;

  // Takes the icon (created with this controller as its listener) and sets the start-up tip.
  void Attach(std::unique_ptr<desktop::TrayIcon> icon);
  // Removes the icon from the tray (shutdown); later calls do nothing.
  void Remove();

  // A song started (the now-playing message): the tip becomes its title.
  void OnSongStarted(const std::string& title);
  // Whether closing or minimising "to the tray" may hide the window: only while an icon shows.
  bool MayHideToTray() const;
  // The window tells when it hides itself to the tray or shows itself again.
  void SetWindowHidden(bool hidden) { window_hidden_ = hidden; }

  desktop::TrayIcon* icon() const { return icon_.get(); }

  // desktop::TrayIconListener
  void OnTrayActivate() override;
  void OnTrayMenuOpening() override;
  void OnTrayCommand(int id) override;
  void OnTrayAvailabilityChanged(bool can_show) override;

 private:
  WindowActions actions_;
  std::unique_ptr<desktop::TrayIcon> icon_;
  bool window_hidden_ = false;
};

}  // namespace quillo::ui
