#pragma once
// What the close button and a close request do: ask, minimise or shut down, following
// "sorvel.minimal.type" ("ask" by default, "min", "close"), unless the exit command set the exit
// flag. A second close while the first is still asking is ignored. Window thread; Run returns
// after the question (a modal box) was answered.
#include <functional>
#include <optional>
#include <string>

namespace quillo::ui {

class CloseProcedure {
 public:
  enum class Choice { kMinimize, kClose };
  struct Answer {
    Choice choice = Choice::kMinimize;
    bool remember = false;
  };
  struct Hooks {
    std::function<std::string()> read_minimal_type;  // the stored value, "" when none
    std::function<void(const std::string&)> write_minimal_type;
    // The exit question; no value when it was cancelled.
    std::function<std::optional<Answer>()> ask;
    std::function<void()> minimize;
    std::function<void()> shut_down;
  };
  enum class Outcome { kIgnored, kMinimized, kCancelled, kShutDown };

  explicit CloseProcedure(Hooks hooks) : hooks_(std::move(hooks)) {}

  // The exit command's flag: the next close shuts down without asking.
  void SetExitFlag() { exit_flag_ = true; }
  bool exit_flag() const { return exit_flag_; }
  bool in_progress() const { return in_progress_; }

  Outcome Run();

 private:
  Hooks hooks_;
  bool exit_flag_ = false;
  bool in_progress_ = false;
};

}  // namespace quillo::ui
