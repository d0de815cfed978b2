#include "platform/shell/UrlProtocol.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "XdgSandbox.h"
#include "platform/fs/FileSystem.h"
#include "platform/shell/Autorun.h"
#include "platform/shell/DesktopEntry.h"
#include "platform/shell/KeyTree.h"
#include "platform/shell/MimeAppsList.h"

namespace quillo::shell {
namespace {

std::string ReadText(const std::string& path) {
  return fs::ReadWholeFile(path).value_or("");
}

std::vector<std::string> Defaults(const testing::XdgSandbox& xdg) {
  return MimeAppsList(ReadText(xdg.config_home() + "mimeapps.list"))
      .DefaultsFor("x-scheme-handler/quillo");
}

TEST(UrlProtocolTest, AnswersFollowTheRegistrationRules) {
  testing::XdgSandbox xdg;
  struct Case {
    std::string name;
    std::string path;
    int expected;
  };
  const Case cases[] = {
      {"", "/usr/bin/quillo", kUrlProtocolFailed},
      {"QUILLO", "", kUrlProtocolFailed},
      {"9QUILLO", "/usr/bin/quillo", kUrlProtocolFailed},  // not a scheme
      {"QUI/LLO", "/usr/bin/quillo", kUrlProtocolFailed},  // never a path
      {"QUILLO", "/opt/a b/quillo", kUrlProtocolRegistered},
      {"QUILLO", "/elsewhere/quillo", kUrlProtocolAlreadyPresent},
      {"quillo", "/elsewhere/quillo", kUrlProtocolAlreadyPresent},  // schemes ignore case
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RegisterUrlProtocol(c.name, c.path, 0), c.expected) << c.name << " " << c.path;
  }
  // The second registration left the first command line in place.
  std::string entry_path = xdg.data_home() + "applications/quillo/url-handler.desktop";
  DesktopEntry entry = DesktopEntry::Parse(ReadText(entry_path));
  EXPECT_EQ(entry.Get("Exec"), "\"/opt/a b/quillo\" %u");
  EXPECT_EQ(entry.Get("MimeType"), "x-scheme-handler/quillo;");
  EXPECT_EQ(entry.Get("Name"), "QUILLOProtocol");
  EXPECT_EQ(Defaults(xdg), std::vector<std::string>{"quillo-url-handler.desktop"});
}

TEST(UrlProtocolTest, UnregisterThenRegisterPointsToTheLatestProgram) {
  testing::XdgSandbox xdg;
  ASSERT_EQ(RegisterUrlProtocol("QUILLO", "/old/quillo", 0), kUrlProtocolRegistered);
  EXPECT_TRUE(UnregisterUrlProtocol("QUILLO"));
  EXPECT_FALSE(fs::PathExists(UrlProtocolFolder("QUILLO")));
  EXPECT_TRUE(Defaults(xdg).empty());
  ASSERT_EQ(RegisterUrlProtocol("QUILLO", "/new/quillo", 0, "Zelbo音乐"), kUrlProtocolRegistered);
  DesktopEntry entry =
      DesktopEntry::Parse(ReadText(UrlProtocolFolder("QUILLO") + "url-handler.desktop"));
  EXPECT_EQ(DesktopEntry::ExecProgram(*entry.Get("Exec")), "/new/quillo");
  EXPECT_EQ(entry.Get("Name"), "Zelbo音乐");
  // Nothing to delete the second time; an empty name does nothing at all.
  EXPECT_TRUE(UnregisterUrlProtocol("QUILLO"));
  EXPECT_FALSE(UnregisterUrlProtocol("QUILLO"));
  EXPECT_FALSE(UnregisterUrlProtocol(""));
}

TEST(UrlProtocolTest, IsRegisteredOnlyWhenRegisteringWouldChangeNothing) {
  testing::XdgSandbox xdg;
  EXPECT_FALSE(UrlProtocolIsRegistered("QUILLO", "/usr/bin/quillo", "Zelbo"));
  ASSERT_EQ(RegisterUrlProtocol("QUILLO", "/usr/bin/quillo", 0, "Zelbo"), kUrlProtocolRegistered);
  EXPECT_TRUE(UrlProtocolIsRegistered("QUILLO", "/usr/bin/quillo", "Zelbo"));
  EXPECT_FALSE(UrlProtocolIsRegistered("QUILLO", "/opt/quillo", "Zelbo")) << "another program";
  EXPECT_FALSE(UrlProtocolIsRegistered("QUILLO", "/usr/bin/quillo", "Other")) << "another name";
  // Another program made the default handler of the scheme.
  const std::string mimeapps = xdg.config_home() + "mimeapps.list";
  ASSERT_TRUE(fs::WriteFileAtomic(
      mimeapps, "[Default Applications]\nx-scheme-handler/quillo=other.desktop\n"));
  EXPECT_FALSE(UrlProtocolIsRegistered("QUILLO", "/usr/bin/quillo", "Zelbo"));
}

TEST(UrlProtocolTest, OtherHandlersAndTheUsersEntriesSurvive) {
  testing::XdgSandbox xdg;
  std::string list_path = xdg.config_home() + "mimeapps.list";
  ASSERT_TRUE(fs::WriteFile(list_path,
                            "[Default Applications]\n"
                            "x-scheme-handler/http=firefox.desktop;\n"
                            "x-scheme-handler/quillo=someone-else.desktop;\n"));
  ASSERT_EQ(RegisterUrlProtocol("QUILLO", "/usr/bin/quillo", 0), kUrlProtocolRegistered);
  EXPECT_EQ(Defaults(xdg),
            (std::vector<std::string>{"quillo-url-handler.desktop", "someone-else.desktop"}));
  ASSERT_TRUE(UnregisterUrlProtocol("QUILLO"));
  EXPECT_EQ(ReadText(list_path),
            "[Default Applications]\n"
            "x-scheme-handler/http=firefox.desktop;\n"
            "x-scheme-handler/quillo=someone-else.desktop;\n");
}

TEST(UrlProtocolTest, LinkedMimeAppsListIsEditedWhereItLives) {
  testing::XdgSandbox xdg;
  std::string real = xdg.root() + "dotfiles-mimeapps.list";
  ASSERT_TRUE(fs::WriteFile(real, "[Default Applications]\na/b=c.desktop;\n"));
  ASSERT_EQ(::symlink(real.c_str(), (xdg.config_home() + "mimeapps.list").c_str()), 0);
  ASSERT_EQ(RegisterUrlProtocol("QUILLO", "/usr/bin/quillo", 0), kUrlProtocolRegistered);
  EXPECT_NE(ReadText(real).find("x-scheme-handler/quillo=quillo-url-handler.desktop;"),
            std::string::npos);
  char target[512] = {};
  EXPECT_GT(::readlink((xdg.config_home() + "mimeapps.list").c_str(), target, sizeof target - 1),
            0);
}

TEST(UrlProtocolTest, UnwritableDataFolderFails) {
  testing::XdgSandbox xdg;
  // A file where the applications folder should be.
  ASSERT_TRUE(fs::WriteFile(xdg.data_home() + "applications", "not a folder"));
  EXPECT_EQ(RegisterUrlProtocol("QUILLO", "/usr/bin/quillo", 0), kUrlProtocolFailed);
}

TEST(UrlProtocolTest, DesktopResolvesTheDefaultHandler) {
  if (::access("/usr/bin/gio", X_OK) != 0) GTEST_SKIP() << "gio is not installed";
  testing::XdgSandbox xdg;
  ASSERT_EQ(RegisterUrlProtocol("QUILLO", "/bin/true", 0), kUrlProtocolRegistered);
  // gio reads the same environment variables as this process has now.
  FILE* pipe = ::popen("gio mime x-scheme-handler/quillo 2>&1", "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  ::pclose(pipe);
  EXPECT_NE(
      output.find("Default application for “x-scheme-handler/quillo”: quillo-url-handler.desktop"),
      std::string::npos)
      << output;
}

TEST(KeyTreeTest, DeletesNestedFoldersDeepestFirst) {
  testing::TempFolder folder;
  std::string root = folder / "QUILLO/";
  ASSERT_TRUE(fs::CreateFolders(root + "shell/open/command"));
  ASSERT_TRUE(fs::CreateFolders(root + "DefaultIcon"));
  ASSERT_TRUE(fs::WriteFile(root + "shell/open/command/default", "x"));
  ASSERT_TRUE(fs::WriteFile(root + "value", "y"));
  // A link inside the tree is removed, never followed.
  std::string outside = folder / "outside/";
  ASSERT_TRUE(fs::CreateFolders(outside));
  ASSERT_TRUE(fs::WriteFile(outside + "keep", "z"));
  ASSERT_EQ(::symlink(outside.c_str(), (root + "shell/link").c_str()), 0);

  EXPECT_TRUE(DeleteKeyTree(root));
  EXPECT_FALSE(fs::PathExists(root));
  EXPECT_TRUE(fs::FileExists(outside + "keep"));
  EXPECT_FALSE(DeleteKeyTree(root));
  // A path without a final '/' names the same folder.
  ASSERT_TRUE(fs::CreateFolders(root + "a/b"));
  EXPECT_TRUE(DeleteKeyTree(folder / "QUILLO"));
  EXPECT_FALSE(fs::PathExists(root));
  // A file is not a key.
  ASSERT_TRUE(fs::WriteFile(folder / "file", "x"));
  EXPECT_FALSE(DeleteKeyTree(folder / "file"));
}

TEST(KeyTreeTest, AnEntryThatCannotBeDeletedEndsWithFailure) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may delete anything";
  testing::TempFolder folder;
  std::string root = folder / "key/";
  ASSERT_TRUE(fs::CreateFolders(root + "locked"));
  ASSERT_TRUE(fs::WriteFile(root + "locked/value", "x"));
  ::chmod((root + "locked").c_str(), 0500);
  EXPECT_FALSE(DeleteKeyTree(root));
  ::chmod((root + "locked").c_str(), 0700);
}

TEST(AutorunTest, RegisterQueryAndUnregister) {
  testing::XdgSandbox xdg;
  EXPECT_FALSE(IsAutorunRegistered("Zelbo音乐"));
  ASSERT_TRUE(RegisterAutorun("Zelbo音乐", {}, "/opt/my apps/quillo"));
  std::string path = xdg.config_home() + "autostart/Zelbo音乐.desktop";
  EXPECT_EQ(AutorunEntryPath("Zelbo音乐"), path);
  EXPECT_TRUE(IsAutorunRegistered("Zelbo音乐"));
  EXPECT_TRUE(IsAutorunRegistered());  // the application's name is the default
  DesktopEntry entry = DesktopEntry::Parse(ReadText(path));
  EXPECT_EQ(entry.Get("Exec"), "\"/opt/my apps/quillo\"");
  EXPECT_EQ(entry.Get("Name"), "Zelbo音乐");
  // With arguments, replacing the old entry.
  ASSERT_TRUE(RegisterAutorun("Zelbo音乐", "--minimized", "/usr/bin/quillo"));
  EXPECT_EQ(DesktopEntry::Parse(ReadText(path)).Get("Exec"), "\"/usr/bin/quillo\" --minimized");
  EXPECT_TRUE(UnregisterAutorun("Zelbo音乐"));
  EXPECT_FALSE(IsAutorunRegistered("Zelbo音乐"));
  EXPECT_FALSE(UnregisterAutorun("Zelbo音乐"));
}

TEST(AutorunTest, EntriesSwitchedOffByTheDesktopDoNotCount) {
  testing::XdgSandbox xdg;
  const std::string cases[] = {
      "[Desktop Entry]\nExec=quillo\nHidden=true\n",
      "[Desktop Entry]\nExec=quillo\nX-GNOME-Autostart-enabled=false\n",
      "[Desktop Entry]\nName=no exec\n",
      "[Other]\nExec=quillo\n",
      "",
  };
  std::string path = AutorunEntryPath("Zelbo音乐");
  ASSERT_TRUE(fs::CreateFolders(fs::ParentFolder(path)));
  for (const std::string& text : cases) {
    ASSERT_TRUE(fs::WriteFile(path, text));
    EXPECT_FALSE(IsAutorunRegistered("Zelbo音乐")) << text;
  }
  ASSERT_TRUE(fs::WriteFile(path, "[Desktop Entry]\nExec=quillo\nHidden=false\n"));
  EXPECT_TRUE(IsAutorunRegistered("Zelbo音乐"));
}

TEST(AutorunTest, ValueNamesStayInsideTheAutostartFolder) {
  testing::XdgSandbox xdg;
  EXPECT_EQ(AutorunEntryPath("../evil"), xdg.config_home() + "autostart/_._evil.desktop");
  ASSERT_TRUE(RegisterAutorun("../evil", {}, "/usr/bin/quillo"));
  EXPECT_TRUE(fs::FileExists(xdg.config_home() + "autostart/_._evil.desktop"));
}

}  // namespace
}  // namespace quillo::shell
