#pragma once
// The folder import dialog "正在导入本地歌曲" (375 × 168, one button "取消"): while it shows, a
// folder walk on the scanner's thread adds every large music file below the root to the library,
// and the dialog shows "已经找到%d首歌曲" with the count and the status text under it, and a
// 17-frame animation. It closes itself when the walk finished ("导入完成"). "取消", Escape or
// the window's close stop the walk (the file being added is finished first; what was added
// stays) and close it without "导入完成".
//
// The walk reports on its own thread; the dialog takes each report as a posted task on the
// window thread, so painting never races. The animation is the dialog's own 100 ms timer.
//
// Window thread. The library outlives the dialog.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/loop/Timer.h"
#include "ui/toolkit/LayerDlg.h"

namespace quillo::store {
class MusicLibrary;
}
namespace quillo::media {
class FolderScanner;
class ImportListener;
class LocalImport;
}  // namespace quillo::media

namespace quillo::ui {

class ImportLocalDlg : public LayerDlg {
 public:
  static constexpr int kWidth = 375;
  static constexpr int kHeight = 168;
  static constexpr int kCancelId = 1;
  static constexpr int kAnimationPeriodMs = 100;
  static constexpr int kFrameCount = 17;
  static constexpr gfx::Rect kAnimationRect{7, 29, 367, 69};  // one 360 × 40 frame
  static constexpr const char* kTitle = "正在导入本地歌曲";

  // `music_folder` and `program_folder` are left out of the walk (either may be empty).
  ImportLocalDlg(store::MusicLibrary& library, std::string root, std::string music_folder,
                 std::string program_folder);
  // Stops a walk still running.
  ~ImportLocalDlg() override;

  // Runs the dialog modally over `root`, centred on the owner (the main window when null) and
  // clamped to the screen's top-left. Answers the number of songs taken into the library.
  static int Run(store::MusicLibrary& library, const std::string& root,
                 const std::string& music_folder, const std::string& program_folder,
                 LayerWnd* owner = nullptr);

  // Songs taken up so far, the status text, and the counted line as shown.
  int count() const;
  std::string status_text() const;
  std::string count_text() const;
  // Any thread: whether the user stopped the import.
  bool cancelled() const { return cancelled_.load(); }
  bool finished() const { return finished_; }
  int frame() const { return frame_; }

  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnClose() override;

 private:
  struct Token;
  void OnStatus(const std::string& status);
  void OnWalkFinished();
  // One animation step.
  void OnAnimationTimer();
  void DrawTexts();
  void DrawFrame();
  // Stops the walk and the animation (the close procedure's first steps).
  void StopWork();

  store::MusicLibrary& library_;
  std::string root_;
  std::unique_ptr<media::LocalImport> import_;
  std::unique_ptr<media::ImportListener> walk_end_;
  std::unique_ptr<media::FolderScanner> scanner_;
  std::shared_ptr<Token> token_;
  mutable std::mutex mutex_;
  std::string status_;
  std::atomic<bool> cancelled_{false};
  bool finished_ = false;
  int frame_ = 0;
  loop::Timer animation_timer_;
};

}  // namespace quillo::ui
