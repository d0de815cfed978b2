#include "ui/main/CloseProcedure.h"

namespace quillo::ui {

CloseProcedure::Outcome CloseProcedure::Run() {
  if (in_progress_) return Outcome::kIgnored;
  in_progress_ = true;
  if (!exit_flag_) {
    std::string type = hooks_.read_minimal_type();
    if (type.empty()) type = "ask";
    if (type == "min") {
      hooks_.minimize();
      in_progress_ = false;
      return Outcome::kMinimized;
    }
    if (type != "close") {
      std::optional<Answer> answer = hooks_.ask();
      if (!answer) {
        in_progress_ = false;
        return Outcome::kCancelled;
      }
      if (answer->remember)
        hooks_.write_minimal_type(answer->choice == Choice::kClose ? "close" : "min");
      if (answer->choice == Choice::kMinimize) {
        hooks_.minimize();
        in_progress_ = false;
        return Outcome::kMinimized;
      }
    }
  }
  // The mark stays: the window is going, and nothing may start a second shutdown.
  hooks_.shut_down();
  return Outcome::kShutDown;
}

}  // namespace quillo::ui
