#pragma once
// The waiting dialog shown while a worker reads a phone (skin 212, 213 × 47, the text at
// (80, 10) in white). The worker starts only once the dialog's controls exist, and the dialog
// stays up exactly as long as the worker runs: close requests are ignored until the worker calls
// Finish. Window thread, except Finish.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "ui/toolkit/LayerDlg.h"

namespace quillo::ui {

class OpenDeviceLoadingDlg : public LayerDlg {
 public:
  static constexpr int kWidth = 213;
  static constexpr int kHeight = 47;
  // The work runs on its own thread and must end by calling Finish on the dialog.
  using Work = std::function<void(OpenDeviceLoadingDlg& dialog)>;

  OpenDeviceLoadingDlg(std::string text, Work work);
  // Joins the worker.
  ~OpenDeviceLoadingDlg() override;

  // Shows the dialog modally, centred on the owner (the main window when null), while the
  // work runs. Returns once the work has called Finish.
  static void Run(const std::string& text, Work work, LayerWnd* owner = nullptr);

  // Any thread: lets the dialog close and asks it to.
  void Finish();
  bool finished() const { return allow_close_; }

  void InitLayer() override;
  void DrawBackground() override;
  void OnClose() override;
  bool IsDragArea(int x, int y) override;

 private:
  struct Token {
    OpenDeviceLoadingDlg* dialog;
  };
  std::string text_;
  Work work_;
  std::thread worker_;
  bool allow_close_ = false;
  // Shared with the tasks Finish posts; cleared when the dialog goes.
  std::shared_ptr<Token> token_;
};

}  // namespace quillo::ui
