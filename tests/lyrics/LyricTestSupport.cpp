#include "LyricTestSupport.h"

#include <random>

#include "platform/fs/FileSystem.h"

namespace quillo::lyrics::testing {

std::string ScrambleKaraoke(std::string_view plain, std::uint8_t block_length, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string out;
  out.push_back(static_cast<char>(random()));
  out.push_back(static_cast<char>(block_length));
  std::size_t at = 0;
  do {
    const char key = static_cast<char>(random());
    out.push_back(key);
    for (std::size_t i = 0; i < block_length && at < plain.size(); ++i) {
      out.push_back(static_cast<char>(plain[at++] ^ key));
    }
  } while (at < plain.size() && block_length > 0);
  return out;
}

int LoadFromBytes(LyricAnalyzer& analyzer, const quillo::testing::TempFolder& folder,
                  const std::string& name, std::string_view bytes) {
  const std::string path = folder / name;
  if (!fs::WriteFile(path, bytes)) return -100;
  return analyzer.LoadLyric(path, "music1");
}

std::vector<std::string> Rows(const LyricDocument& document) {
  std::vector<std::string> rows;
  for (const LyricLine& line : document.timeline.lines()) {
    rows.push_back(std::to_string(line.start_ms) + "\t" + std::to_string(line.end_ms) + "\t" +
                   line.text);
  }
  return rows;
}

}  // namespace quillo::lyrics::testing
