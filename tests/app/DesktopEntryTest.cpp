#include "platform/shell/DesktopEntry.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/shell/MimeAppsList.h"

namespace quillo::shell {
namespace {

TEST(DesktopEntryTest, ExecLineQuotesEveryPathSoItReadsBack) {
  struct Case {
    std::string program;
    std::string exec_value;  // the Exec value before the file's string escaping
  };
  const Case cases[] = {
      {"/usr/bin/quillo", "\"/usr/bin/quillo\" %u"},
      {"/home/a b/音乐/quillo", "\"/home/a b/音乐/quillo\" %u"},
      {"/x/\"q\"/quillo", "\"/x/\\\"q\\\"/quillo\" %u"},
      {"/x/$HOME/`id`/quillo", "\"/x/\\$HOME/\\`id\\`/quillo\" %u"},
      {"/x/100%/quillo", "\"/x/100%%/quillo\" %u"},
      {"/x/back\\slash/quillo", "\"/x/back\\\\slash/quillo\" %u"},
  };
  for (const Case& c : cases) {
    std::string exec = DesktopEntry::ExecLine(c.program, "%u");
    EXPECT_EQ(exec, c.exec_value) << c.program;
    // Through a whole file and back: the string escapes and the Exec quoting undo each other.
    DesktopEntry entry;
    entry.Set("Exec", exec);
    DesktopEntry read = DesktopEntry::Parse(entry.Text());
    ASSERT_TRUE(read.Get("Exec").has_value());
    EXPECT_EQ(*read.Get("Exec"), exec);
    EXPECT_EQ(DesktopEntry::ExecProgram(*read.Get("Exec")), c.program) << c.program;
  }
  EXPECT_EQ(DesktopEntry::ExecLine("/p", ""), "\"/p\"");
}

TEST(DesktopEntryTest, BackslashIsWrittenFourTimesInTheFile) {
  // The file format's own escaping comes on top of the Exec quoting.
  DesktopEntry entry;
  entry.Set("Exec", DesktopEntry::ExecLine("/a\\b", ""));
  EXPECT_EQ(entry.Text(), "[Desktop Entry]\nExec=\"/a\\\\\\\\b\"\n");
}

TEST(DesktopEntryTest, ValueEscapesRoundTrip) {
  const std::string values[] = {
      " leading space", "tab\there", "line\nbreak", "cr\rhere", "back\\slash",
      "trailing ",      "",          "普通的文本"};
  for (const std::string& value : values) {
    std::string escaped = DesktopEntry::EscapeValue(value);
    EXPECT_EQ(escaped.find('\n'), std::string::npos);
    EXPECT_EQ(DesktopEntry::UnescapeValue(escaped), value) << escaped;
  }
  EXPECT_EQ(DesktopEntry::EscapeValue(" a b"), "\\sa b");
}

TEST(DesktopEntryTest, ParseReadsOnlyTheMainGroupAndSkipsNoise) {
  DesktopEntry entry = DesktopEntry::Parse(
      "# comment\r\n"
      "[Other]\nExec=wrong\n"
      "[Desktop Entry]\r\n"
      "Name = Zelbo音乐\r\n"
      "no equals sign\n"
      "=no key\n"
      "Hidden=true\n"
      "Name=second wins not\n"
      "Name[zh_CN]=本地化\n"
      "[Desktop Action x]\nHidden=false\n");
  EXPECT_EQ(entry.Get("Name"), "Zelbo音乐");
  EXPECT_EQ(entry.Get("Name[zh_CN]"), "本地化");
  EXPECT_TRUE(entry.GetBool("Hidden", false));
  EXPECT_FALSE(entry.Get("Exec").has_value());
  EXPECT_TRUE(entry.GetBool("Missing", true));
}

TEST(DesktopEntryTest, ParseNeverFailsOnRandomBytes) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 200, '\0');
    for (char& c : bytes) c = static_cast<char>(random() % 8 == 0 ? '\n' : random() % 256);
    if (round % 2 == 0) bytes = "[Desktop Entry]\n" + bytes;
    DesktopEntry entry = DesktopEntry::Parse(bytes);
    if (auto exec = entry.Get("Exec")) DesktopEntry::ExecProgram(*exec);
    // What was read is written back as one line per key.
    DesktopEntry again = DesktopEntry::Parse(entry.Text());
    EXPECT_EQ(again.Text(), entry.Text());
  }
}

TEST(MimeAppsListTest, SettingTheDefaultKeepsEverythingElse) {
  const std::string original =
      "[Added Associations]\n"
      "text/plain=gedit.desktop;\n"
      "\n"
      "[Default Applications]\n"
      "# the user's own comment\n"
      "x-scheme-handler/http=firefox.desktop;\n"
      "x-scheme-handler/quillo=other-player.desktop;quillo-url-handler.desktop;\n"
      "\n"
      "[Removed Associations]\n"
      "image/png=gimp.desktop;\n";
  MimeAppsList list(original);
  list.SetDefault("x-scheme-handler/quillo", "quillo-url-handler.desktop");
  EXPECT_EQ(list.Text(),
            "[Added Associations]\n"
            "text/plain=gedit.desktop;\n"
            "\n"
            "[Default Applications]\n"
            "# the user's own comment\n"
            "x-scheme-handler/http=firefox.desktop;\n"
            "x-scheme-handler/quillo=quillo-url-handler.desktop;other-player.desktop;\n"
            "\n"
            "[Removed Associations]\n"
            "image/png=gimp.desktop;\n");
  EXPECT_TRUE(list.RemoveDefault("x-scheme-handler/quillo", "quillo-url-handler.desktop"));
  EXPECT_EQ(list.DefaultsFor("x-scheme-handler/quillo"),
            std::vector<std::string>{"other-player.desktop"});
  EXPECT_FALSE(list.RemoveDefault("x-scheme-handler/quillo", "quillo-url-handler.desktop"));
  EXPECT_EQ(list.DefaultsFor("x-scheme-handler/http"), std::vector<std::string>{"firefox.desktop"});
}

TEST(MimeAppsListTest, MissingGroupOrKeyIsCreatedInTheRightPlace) {
  struct Case {
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"", "[Default Applications]\nx-scheme-handler/quillo=q.desktop;\n"},
      {"[Added Associations]\na/b=c.desktop;\n",
       "[Added Associations]\na/b=c.desktop;\n\n[Default Applications]\n"
       "x-scheme-handler/quillo=q.desktop;\n"},
      // Added after the group's last entry, before the blank line and the next group.
      {"[Default Applications]\na/b=c.desktop;\n\n[Other]\nz=y\n",
       "[Default "
       "Applications]\na/b=c.desktop;\nx-scheme-handler/quillo=q.desktop;\n\n[Other]\nz=y\n"},
      // A file without a final line end gets one.
      {"[Default Applications]\na/b=c.desktop;",
       "[Default Applications]\na/b=c.desktop;\nx-scheme-handler/quillo=q.desktop;\n"},
  };
  for (const Case& c : cases) {
    MimeAppsList list(c.before);
    list.SetDefault("x-scheme-handler/quillo", "q.desktop");
    EXPECT_EQ(list.Text(), c.after) << c.before;
  }
}

TEST(MimeAppsListTest, RemovingTheOnlyIdRemovesTheKeyOnly) {
  MimeAppsList list("[Default Applications]\r\nx-scheme-handler/quillo = q.desktop\r\na/b=c;\r\n");
  EXPECT_EQ(list.DefaultsFor("x-scheme-handler/quillo"), std::vector<std::string>{"q.desktop"});
  EXPECT_TRUE(list.RemoveDefault("x-scheme-handler/quillo", "q.desktop"));
  EXPECT_EQ(list.Text(), "[Default Applications]\r\na/b=c;\r\n");
  // Keys of other groups with the same name are not ours to change.
  MimeAppsList other("[Added Associations]\nx-scheme-handler/quillo=q.desktop;\n");
  EXPECT_FALSE(other.RemoveDefault("x-scheme-handler/quillo", "q.desktop"));
}

}  // namespace
}  // namespace quillo::shell
