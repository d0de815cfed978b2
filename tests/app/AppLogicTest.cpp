#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <sstream>

#include "app/AppArguments.h"
#include "app/CompanionProgram.h"
#include "app/HeadlessMainWindow.h"
#include "app/SelfUpdate.h"
#include "app/SkinChoice.h"
#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace quillo::app {
namespace {

TEST(AppArgumentsTest, OptionsAndPositionalArguments) {
  struct Case {
    std::vector<std::string> args;
    std::string data_dir;
    std::vector<std::string> positional;
    bool version;
    bool help;
    bool quit;
    bool error;
  };
  const Case cases[] = {
      {{}, "", {}, false, false, false, false},
      {{"--version"}, "", {}, true, false, false, false},
      {{"--help"}, "", {}, false, true, false, false},
      {{"-h"}, "", {}, false, true, false, false},
      {{"--quit", "--data-dir", "/d"}, "/d", {}, false, false, true, false},
      {{"--data-dir=/a b", "song.mp3"}, "/a b", {"song.mp3"}, false, false, false, false},
      {{"quillo://add/12", "--data-dir", "/d"},
       "/d",
       {"quillo://add/12"},
       false,
       false,
       false,
       false},
      {{"--", "--version", "-"}, "", {"--version", "-"}, false, false, false, false},
      {{"-"}, "", {"-"}, false, false, false, false},
      {{"--data-dir"}, "", {}, false, false, false, true},
      {{"--data-dir="}, "", {}, false, false, false, true},
      {{"--data-dir", ""}, "", {}, false, false, false, true},
      {{"--frobnicate"}, "", {}, false, false, false, true},
  };
  for (const Case& c : cases) {
    AppArguments parsed = ParseAppArguments(c.args);
    std::string what = c.args.empty() ? "(none)" : c.args.front();
    EXPECT_EQ(!parsed.error.empty(), c.error) << what;
    if (c.error) continue;
    EXPECT_EQ(parsed.data_dir, c.data_dir) << what;
    EXPECT_EQ(parsed.positional, c.positional) << what;
    EXPECT_EQ(parsed.show_version, c.version) << what;
    EXPECT_EQ(parsed.show_help, c.help) << what;
    EXPECT_EQ(parsed.quit, c.quit) << what;
  }
  EXPECT_NE(UsageText().find("--data-dir"), std::string::npos);
}

TEST(AppArgumentsTest, HandOverTextIsWholeAndAbsolute) {
  auto exists = [](const std::string& path) {
    return path == "/home/me/a song.mp3" || path == "/home/me/歌.mp3";
  };
  struct Case {
    std::vector<std::string> positional;
    std::string cwd;
    std::string text;
  };
  const Case cases[] = {
      {{}, "/home/me/", ""},
      {{"/abs/x.mp3"}, "/home/me/", "/abs/x.mp3"},
      {{"a song.mp3"}, "/home/me/", "/home/me/a song.mp3"},
      {{"a", "song.mp3"}, "/home/me", "/home/me/a song.mp3"},  // split by the caller
      {{"歌.mp3"}, "/home/me/", "/home/me/歌.mp3"},
      {{"missing.mp3"}, "/home/me/", "missing.mp3"},
      {{"quillo://add/1234"}, "/home/me/", "quillo://add/1234"},
      {{"QUILLO://add/1234"}, "/home/me/", "QUILLO://add/1234"},
      {{"a song.mp3"}, "", "a song.mp3"},  // the current folder is gone
      // The menu entry's %u hands files over as URIs.
      {{"file:///home/me/a%20song.mp3"}, "/home/me/", "/home/me/a song.mp3"},
      {{"file:///home/me/%E6%AD%8C.mp3"}, "/", "/home/me/歌.mp3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HandOverText(c.positional, c.cwd, exists), c.text);
  }
}

TEST(AppArgumentsTest, OnlyLocalFileUrisBecomePaths) {
  const std::pair<std::string, std::string> cases[] = {
      {"file:///a/b.mp3", "/a/b.mp3"},
      {"FILE:///a/b.mp3", "/a/b.mp3"},
      {"file://localhost/a/b%2bc.mp3", "/a/b+c.mp3"},
      {"file:///a/%e6%ad%8c.mp3", "/a/歌.mp3"},
      {"file://server/a/b.mp3", ""},  // another host
      {"file:///a/b.mp3?x=1", ""},
      {"file:///a/b%2", ""},          // cut escape
      {"file:///a/b%zz.mp3", ""},
      {"file:///a/%00.mp3", ""},
      {"file://", ""},
      {"quillo://add/1", ""},
      {"/a/b.mp3", ""},
  };
  for (const auto& [uri, path] : cases) EXPECT_EQ(LocalPathOfFileUri(uri), path) << uri;
}

TEST(SkinChoiceTest, OnlyTheNineStylesSelectTheirSkin) {
  const std::pair<int, int> cases[] = {{0, 194},  {1, 195},       {8, 202},       {9, 194},
                                       {-1, 194}, {INT_MAX, 194}, {INT_MIN, 194}, {-194, 194}};
  for (auto [style, skin] : cases) EXPECT_EQ(SkinResourceForThemeStyle(style), skin) << style;
}

TEST(SelfUpdateTest, ScriptQuotesEveryPath) {
  std::string text = UpdateScriptText("/opt/my app's/", "/opt/my app's/quillo", 4242);
  EXPECT_TRUE(text.starts_with("#!/bin/sh\n"));
  EXPECT_NE(text.find("old_pid=4242\n"), std::string::npos);
  const std::string package = "'/opt/my app'\\''s/kv.ex_'";
  const std::string program = "'/opt/my app'\\''s/quillo'";
  EXPECT_NE(text.find("mv -f " + package + " " + program + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("rm -f " + package + "\n"), std::string::npos);
  EXPECT_NE(text.find("\n" + program + " &\n"), std::string::npos);
  EXPECT_NE(text.find("rm -f '/opt/my app'\\''s/update.sh'\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with("exit 0\n"));
  // The move comes after the wait, the start after the move.
  EXPECT_LT(text.find("kill -0"), text.find("mv -f"));
  EXPECT_LT(text.find("mv -f"), text.find(program + " &"));
  EXPECT_EQ(ShellQuote(""), "''");
}

// Runs the real script synchronously: the "old process" has already ended.
TEST(SelfUpdateTest, ScriptReplacesTheProgramInAFolderWithSpacesAndQuotes) {
  testing::TempFolder temp;
  std::string folder = temp / "Program Files/Zelbo's 音乐/";
  ASSERT_TRUE(fs::CreateFolders(folder));
  std::string program = folder + "quillo";
  ASSERT_TRUE(fs::WriteFile(program, "#!/bin/sh\necho old > \"$(dirname \"$0\")/ran\"\n"));
  ::chmod(program.c_str(), 0755);
  // The package arrives without execute permission, as a download does.
  ASSERT_TRUE(
      fs::WriteFile(folder + "kv.ex_", "#!/bin/sh\necho new > \"$(dirname \"$0\")/ran\"\n"));
  EXPECT_TRUE(HasPendingUpdate(folder));

  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);

  std::vector<std::string> launched;
  bool started =
      InstallPendingUpdate(folder, program, gone, [&](const std::vector<std::string>& argv) {
        launched = argv;
        std::string command = "'" + argv[0] + "' " + ShellQuote(argv[1]);
        return std::system(command.c_str()) == 0;
      });
  ASSERT_TRUE(started);
  EXPECT_EQ(launched, (std::vector<std::string>{"/bin/sh", folder + "update.sh"}));
  // The new program was started in the background: wait for its mark.
  for (int i = 0; i < 500 && fs::ReadWholeFile(folder + "ran") != "new\n"; ++i) ::usleep(20000);
  EXPECT_EQ(fs::ReadWholeFile(folder + "ran"), "new\n");
  EXPECT_EQ(fs::ReadWholeFile(program).value_or("").find("echo new"), 10u);
  EXPECT_FALSE(fs::PathExists(folder + "kv.ex_"));
  EXPECT_FALSE(fs::PathExists(folder + "update.sh"));
  EXPECT_FALSE(HasPendingUpdate(folder));
}

TEST(SelfUpdateTest, UnwritableScriptIsStartedAnywayAndThePackageStays) {
  testing::TempFolder temp;
  std::string folder = temp / "gone/";  // does not exist: the script cannot be written
  int launches = 0;
  InstallPendingUpdate(folder, folder + "quillo", 1, [&](const std::vector<std::string>&) {
    ++launches;
    return true;
  });
  EXPECT_EQ(launches, 1);
}

TEST(CompanionProgramTest, PendingCopyOnlyReplacesAMissingProgram) {
  struct Case {
    bool installed;
    bool pending;
    bool renamed;
  };
  const Case cases[] = {
      {false, true, true}, {true, true, false}, {false, false, false}, {true, false, false}};
  for (const Case& c : cases) {
    testing::TempFolder folder;
    if (c.installed) fs::WriteFile(folder / "QuilloExt.exe", "old");
    if (c.pending) fs::WriteFile(folder / "quillo_ext.ex_", "new");
    EXPECT_EQ(InstallPendingCompanion(folder.path()), c.renamed);
    EXPECT_EQ(fs::PathExists(folder / "quillo_ext.ex_"), c.pending && !c.renamed);
    if (c.installed || c.pending) {
      EXPECT_EQ(fs::ReadWholeFile(folder / "QuilloExt.exe"), c.installed ? "old" : "new");
    }
  }
}

TEST(HeadlessMainWindowTest, RecordsAndPrintsEachRequest) {
  loop::MainLoop loop;
  std::ostringstream output;
  HeadlessMainWindow window(loop, output);
  window.HandleHandOver({ipc::HandOverKind::kCommandLine, "/音乐/a.mp3"});
  window.HandleHandOver({ipc::HandOverKind::kActivate, {}});
  window.HandleHandOver({ipc::HandOverKind::kActivate, {}});
  EXPECT_EQ(window.command_lines(), std::vector<std::string>{"/音乐/a.mp3"});
  EXPECT_EQ(window.show_requests(), 2);
  // A quit request ends the modal run even when it arrives before the run starts.
  loop.Post([&] { window.HandleHandOver({ipc::HandOverKind::kQuit, {}}); });
  window.RunModal();
  EXPECT_EQ(output.str(),
            "command line: /音乐/a.mp3\nshow\nshow\nquit: requested by another instance\n");
}

}  // namespace
}  // namespace quillo::app
