#pragma once
// A desktop notifier that keeps every notice it is asked to show.
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop/DesktopNotifier.h"

namespace quillo::playback::testing {

class RecordingNotifier : public desktop::DesktopNotifier {
 public:
  void Notify(const std::string& title, const std::string& body) override {
    notices.emplace_back(title, body);
  }
  std::vector<std::pair<std::string, std::string>> notices;
};

}  // namespace quillo::playback::testing
