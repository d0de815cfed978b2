#include "ui/main/HandedCommandLine.h"

#include "platform/text/TextUtil.h"

namespace quillo::ui {

HandedCommandLine ParseHandedCommandLine(
    std::string_view text, const std::function<bool(const std::string&)>& file_exists) {
  std::string_view trimmed = text::TrimView(text);
  if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"')
    trimmed = trimmed.substr(1, trimmed.size() - 2);
  HandedCommandLine result;
  if (trimmed.empty()) return result;
  // The scheme compares without regard to case, as the desktop hands it over as typed.
  if (trimmed.size() >= kAddLinkPrefix.size() &&
      text::EqualsIgnoreCaseAscii(trimmed.substr(0, kAddLinkPrefix.size()), kAddLinkPrefix)) {
    result.kind = HandedCommandLine::Kind::kAddLink;
    result.text = std::string(trimmed);
    return result;
  }
  std::string path(trimmed);
  if (file_exists(path)) {
    result.kind = HandedCommandLine::Kind::kFile;
    result.text = std::move(path);
  }
  return result;
}

}  // namespace quillo::ui
