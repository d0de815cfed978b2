// quillo-tool get, run as a process against a scripted peer.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "RecordingCallback.h"
#include "platform/fs/FileSystem.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempFolder.h"

namespace quillo::testing {
namespace {

struct ToolRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

ToolRun RunTool(const TempFolder& folder, const std::string& arguments) {
  const std::string command = std::string("'") + QUILLO_TOOL_EXECUTABLE + "' --data-dir '" +
                              folder.path() + "data' " + arguments + " > '" + folder.path() +
                              "out.txt' 2> '" + folder.path() + "err.txt'";
  const int status = std::system(command.c_str());
  ToolRun run;
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = fs::ReadWholeFile(folder.path() + "out.txt").value_or("");
  run.err = fs::ReadWholeFile(folder.path() + "err.txt").value_or("");
  return run;
}

TEST(QuilloToolGetTest, DownloadsReportsProgressAndPrintsTheFinalPath) {
  const std::string music = PatternBytes(300000);
  ScriptedHttpServer server(
      [&](const ScriptedHttpServer::Request& request, ScriptedHttpServer::Exchange& exchange) {
        if (request.target == "/song.mp3?x=1") {
          exchange.Send(ScriptedHttpServer::Answer(200, music));
        } else if (request.target == "/small.mp3") {
          exchange.Send(ScriptedHttpServer::Answer(200, std::string(300, 'e')));
        } else {
          exchange.Send(ScriptedHttpServer::Answer(404, "none"));
        }
      });
  TempFolder folder;
  ASSERT_TRUE(fs::CreateFolders(folder / "music"));

  ToolRun ok = RunTool(folder, "get '" + server.Url("/song.mp3?x=1") + "' '" +
                                   (folder / "music/song.part") + "' --append-ext --min 1000");
  EXPECT_EQ(ok.exit_code, 0) << ok.err;
  EXPECT_EQ(ok.out, folder / "music/song.mp3\n");
  EXPECT_TRUE(fs::ReadWholeFile(folder / "music/song.mp3") == music);
  EXPECT_NE(ok.err.find("300000 / 300000 bytes (100%)"), std::string::npos) << ok.err;
  EXPECT_NE(ok.err.find("status 2 (finished)"), std::string::npos) << ok.err;

  const struct {
    const char* name;
    std::string arguments;
    const char* status;
  } failures[] = {
      {"under the minimum",
       "get '" + server.Url("/small.mp3") + "' '" + (folder / "music/s.mp3") + "' --min 512000",
       "status 3 (failed)"},
      {"not found",
       "get '" + server.Url("/missing") + "' '" + (folder / "music/m.mp3") + "' --attempts 2",
       "status 3 (failed)"},
      {"bad number", "get '" + server.Url("/small.mp3") + "' x --max lots", "--max needs a number"},
      {"missing target", "get '" + server.Url("/small.mp3") + "'", "usage: quillo-tool get"},
  };
  for (const auto& failure : failures) {
    ToolRun run = RunTool(folder, failure.arguments);
    EXPECT_EQ(run.exit_code, 1) << failure.name;
    EXPECT_EQ(run.out, "") << failure.name;
    EXPECT_NE(run.err.find(failure.status), std::string::npos) << failure.name << ": " << run.err;
  }
  EXPECT_EQ(fs::ListFolder(folder / "music"), std::vector<std::string>{"song.mp3"});
}

}  // namespace
}  // namespace quillo::testing
