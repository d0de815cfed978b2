// The layers below the windows never reach up into them: no file of the store, the text rules,
// the media code, the service client or playback includes a header from ui/ or app/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quillo::text {
namespace {
namespace stdfs = std::filesystem;

std::vector<std::string> UpwardIncludes(const stdfs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : stdfs::recursive_directory_iterator(folder)) {
    std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
    std::ifstream in(entry.path());
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("#include \"ui/", 0) == 0 || line.rfind("#include \"app/", 0) == 0) {
        found.push_back(entry.path().string() + ": " + line);
      }
    }
  }
  return found;
}

TEST(LayeringTest, NothingBelowTheWindowsIncludesThem) {
  const stdfs::path source = QUILLO_SOURCE_DIR;
  for (const char* layer :
       {"text", "store", "media", "service", "playback", "lyrics", "downloads"}) {
    SCOPED_TRACE(layer);
    ASSERT_TRUE(stdfs::is_directory(source / layer));
    EXPECT_EQ(UpwardIncludes(source / layer), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace quillo::text
