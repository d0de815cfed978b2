#pragma once
// The text of a command line given to the main window (its own at start, or a second instance's
// through the hand-over): trimmed, one pair of enclosing double quotes removed, then either a
// "quillo://add/" link (handled by the playlist commands) or, when it names an existing file, a
// music file to add to the local library and play.
#include <functional>
#include <string>
#include <string_view>

namespace quillo::ui {

struct HandedCommandLine {
  enum class Kind { kNothing, kAddLink, kFile };
  Kind kind = Kind::kNothing;
  std::string text;  // the link or the file path
};

inline constexpr std::string_view kAddLinkPrefix = "quillo://add/";

HandedCommandLine ParseHandedCommandLine(
    std::string_view text, const std::function<bool(const std::string&)>& file_exists);

}  // namespace quillo::ui
