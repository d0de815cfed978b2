#pragma once
// The program's top window: owns the main window, the taskbar caption marquee (timer 2) and the
// tray tip text. On this desktop the taskbar button is the main window's own, so the top parent
// is no window of its own: it puts the caption on the main window.
//
// Window thread only. The parts outlive it.
#include <memory>
#include <string>

#include "platform/loop/Timer.h"
#include "ui/main/CaptionMarquee.h"
#include "ui/main/SorvelMainDlg.h"

namespace quillo::ui {

class TopParentDlg {
 public:
  TopParentDlg(loop::MainLoop& loop, MainWindowParts parts);
  ~TopParentDlg();

  // Creates the main window in its stored layout and starts the caption marquee. False when no
  // window can be made.
  bool Init();
  SorvelMainDlg& main_window() { return *main_; }
  // Whether the main window has gone (the close procedure shut down).
  bool closed() const { return !main_->IsCreated(); }
  const CaptionMarquee& caption() const { return caption_; }
  // The tray tip: the title of the song started last, "Zelbo音乐" before.
  const std::string& tray_tip() const { return tray_tip_; }

 private:
  void OnCaption(const std::string& title, bool running);
  void ShowCaption(const std::string& caption);

  std::unique_ptr<SorvelMainDlg> main_;
  CaptionMarquee caption_;
  std::string tray_tip_ = CaptionMarquee::kProductCaption;
  // The caption marquee (timer 2); last, so it stops before what it draws goes.
  loop::Timer caption_timer_;
};

}  // namespace quillo::ui
