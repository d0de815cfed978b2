#include "lyrics/LyricErrorReport.h"

#include "lyrics/LyricAnalyzer.h"

namespace quillo::lyrics {

int SendLyricErrorReport(LyricAnalyzer& analyzer, const std::array<bool, 4>& checked,
                         std::string_view other_text) {
  int sent = 0;
  for (std::size_t type = 0; type < checked.size(); ++type) {
    if (!checked[type]) continue;
    const std::string_view comment = type == kOtherErrorType ? other_text : std::string_view();
    if (analyzer.ReportLyricError(static_cast<int>(type), comment)) ++sent;
  }
  return sent;
}

}  // namespace quillo::lyrics
