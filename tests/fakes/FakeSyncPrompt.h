#pragma once
// A prompt box that gives a scripted answer (no value: cancelled) and keeps what it was shown.
#include <optional>
#include <string>

#include "service/sync/SyncPrompt.h"

namespace quillo::testing {

class FakeSyncPrompt : public service::SyncPrompt {
 public:
  std::optional<std::string> PromptBox(const std::string& title, const std::string& message,
                                       const std::string& initial_text) override {
    ++shown;
    shown_title = title;
    shown_message = message;
    shown_initial_text = initial_text;
    return answer;
  }

  std::optional<std::string> answer;
  int shown = 0;
  std::string shown_title, shown_message, shown_initial_text;
};

}  // namespace quillo::testing
