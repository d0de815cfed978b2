#pragma once
// The prompt box the playlist commands ask a name with (the main window's PromptBox: a skinned
// modal box with a title, a message, an edit field holding the initial text, OK and Cancel).
// Window thread; the call returns when the user closed the box.
#include <optional>
#include <string>

namespace quillo::service {

class SyncPrompt {
 public:
  static constexpr const char* kTitle = "Zelbo音乐提示您";
  static constexpr const char* kPlaylistNameMessage = "请输入播放列表名称:";

  virtual ~SyncPrompt() = default;

  // The text the user confirmed, or no value when the box was cancelled.
  virtual std::optional<std::string> PromptBox(const std::string& title, const std::string& message,
                                               const std::string& initial_text) = 0;
};

}  // namespace quillo::service
