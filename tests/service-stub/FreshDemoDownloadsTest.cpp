// A new user's data folder against the embedded stand-in service, as a fresh clone meets it:
// quillo-tool starts quillo-service itself (no service configured), demo logs in, and the
// library's downloads run to the end. Every library song is filed whole, its tags read back from
// the file; the service rendered each song once, when it was first fetched.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace quillo::testing {
namespace {

struct ToolRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

struct LibrarySong {
  std::string id, name, artist, album, file;
};

// The decoded audio (8 kHz mono), which tags do not change; empty when it does not decode.
std::string DecodedAudio(const std::string& path) {
  const std::string command = "ffmpeg -nostdin -loglevel error -i '" + path +
                              "' -map 0:a -f s16le -ac 1 -ar 8000 - 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string pcm;
  if (!pipe) return pcm;
  char buffer[65536];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) pcm.append(buffer, n);
  return pcm;
}

class FreshDemoDownloadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
    ::setenv("QUILLO_SERVICE_EXECUTABLE", QUILLO_SERVICE_EXECUTABLE, 1);
  }
  void TearDown() override { ::unsetenv("QUILLO_SERVICE_EXECUTABLE"); }

  std::string Data() { return folder_ / "data/"; }
  ToolRun Tool(const std::string& arguments) {
    const std::string command = std::string("'") + QUILLO_TOOL_EXECUTABLE + "' --data-dir '" +
                                Data() + "' " + arguments + " > '" + (folder_ / "out.txt") +
                                "' 2> '" + (folder_ / "err.txt") + "'";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = fs::ReadWholeFile(folder_ / "out.txt").value_or("");
    run.err = fs::ReadWholeFile(folder_ / "err.txt").value_or("");
    return run;
  }
  std::vector<LibrarySong> Library() {
    const ToolRun run = Tool("library list");
    EXPECT_EQ(run.exit_code, 0) << run.err;
    std::vector<LibrarySong> songs;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
      std::vector<std::string> fields;
      std::size_t from = 0;
      for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
        fields.push_back(line.substr(from, tab - from));
      fields.push_back(line.substr(from));
      if (fields.size() == 5) songs.push_back({fields[0], fields[1], fields[2], fields[3], fields[4]});
    }
    return songs;
  }

  TempFolder folder_;
};

TEST_F(FreshDemoDownloadsTest, DemoLogsInAndEveryLibrarySongIsDownloadedWhole) {
  const ToolRun login = Tool("call 'api/login.php?ie=utf8' 'name=demo' 'encode=demo' --scrambled");
  ASSERT_EQ(login.exit_code, 0) << login.err;
  ASSERT_TRUE(fs::WriteFile(folder_ / "answer.xml", login.out));
  const ToolRun taken = Tool("answer login '" + (folder_ / "answer.xml") + "'");
  ASSERT_EQ(taken.exit_code, 0) << taken.err;
  // Nothing was rendered for the login.
  const std::string rendered = Data() + "service/catalogue/music/";
  EXPECT_TRUE(fs::ListFolder(rendered).empty());

  const ToolRun run = Tool("downloads run");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "waiting 0, downloading 0, downloaded 6, failed 0\n") << run.err;

  const std::vector<LibrarySong> songs = Library();
  ASSERT_EQ(songs.size(), 6u);
  for (const LibrarySong& song : songs) {
    SCOPED_TRACE(song.name);
    ASSERT_FALSE(song.file.empty()) << "not filed";
    const std::string stored = Data() + "music/" + song.file;
    const auto size = fs::FileSize(stored);
    ASSERT_TRUE(size);
    EXPECT_GT(*size, 4u * 512000u);
    // The tags the library wrote, read back from the file.
    const ToolRun tags = Tool("tags read '" + stored + "'");
    EXPECT_EQ(tags.exit_code, 0) << tags.err;
    EXPECT_NE(tags.out.find("title=" + song.name + "\nartist=" + song.artist +
                            "\nalbum=" + song.album + "\n"),
              std::string::npos)
        << tags.out;
    // Whole: the same audio as the service's own file, to the last sample.
    const std::string extension = stored.substr(stored.rfind('.'));
    const std::string original = rendered + song.id + extension;
    ASSERT_TRUE(fs::FileExists(original));
    const std::string audio = DecodedAudio(stored);
    EXPECT_GT(audio.size(), 150u * 8000u * 2u);  // over two and a half minutes
    EXPECT_TRUE(audio == DecodedAudio(original)) << "the filed song's audio differs";
  }
  // The service rendered exactly the library's songs, each once, when first fetched.
  EXPECT_EQ(fs::ListFolder(rendered).size(), 6u);
  const std::regex render_line("rendered song ([0-9]+) ");
  std::map<std::string, int> renders;
  for (std::sregex_iterator it(run.err.begin(), run.err.end(), render_line), end; it != end; ++it)
    ++renders[(*it)[1]];
  EXPECT_EQ(renders.size(), 6u) << run.err;
  for (const auto& [id, count] : renders) EXPECT_EQ(count, 1) << id;
}

}  // namespace
}  // namespace quillo::testing
