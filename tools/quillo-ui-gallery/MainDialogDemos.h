#pragma once
// The main window's dialogs in the gallery: the login dialog with sample accounts, its waiting
// dialog, and the folder import walking a large system folder into a scratch library (removed
// when the demo goes).
#include <memory>
#include <string>

#include "ui/toolkit/LayerWnd.h"

namespace quillo::gallery {

class MainDialogDemo {
 public:
  virtual ~MainDialogDemo() = default;
  // The demo's window, null once it is closed.
  virtual ui::LayerWnd* window() = 0;
  // Whether the window shows what a screenshot should show.
  virtual bool ready() { return window() != nullptr; }
};

// "login", "loginloading" or "importlocal"; null for any other name. Opens the window centred
// on the work area.
std::unique_ptr<MainDialogDemo> OpenMainDialogDemo(const std::string& name);

}  // namespace quillo::gallery
