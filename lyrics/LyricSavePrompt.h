#pragma once
// The yes/no question LyricAnalyzer::SaveIfChanged asks before writing a changed lyric file.
// The interface layer implements it as a prompt over its window; tools answer it themselves.
#include <string_view>

namespace quillo::lyrics {

class LyricSavePrompt {
 public:
  virtual ~LyricSavePrompt() = default;
  // True for "yes". Called on the window thread; may run a modal loop.
  virtual bool AskYesNo(std::string_view question) = 0;
};

}  // namespace quillo::lyrics
