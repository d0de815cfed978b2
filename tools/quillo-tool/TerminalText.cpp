#include "tools/quillo-tool/TerminalText.h"

#include "platform/text/TextUtil.h"

namespace quillo::tool {
namespace {

bool OnTerminal(fs::StandardStream stream) {
  static const bool output = fs::IsTerminal(fs::StandardStream::kOutput);
  static const bool error = fs::IsTerminal(fs::StandardStream::kError);
  return stream == fs::StandardStream::kOutput ? output : error;
}

}  // namespace

std::string Shown(std::string_view text, fs::StandardStream stream) {
  return OnTerminal(stream) ? text::EscapeControls(text) : std::string(text);
}

std::string ShownDocument(std::string_view text) {
  return OnTerminal(fs::StandardStream::kOutput) ? text::EscapeControls(text, /*keep_layout=*/true)
                                                 : std::string(text);
}

}  // namespace quillo::tool
