// The arrows between the top-level folders: each folder's files include only the folders that
// the "Arrows" table of docs/architecture.md allows them, and the layers below the windows never
// reach up into them. The table is read from the document, so the two cannot drift apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace quillo::text {
namespace {
namespace stdfs = std::filesystem;

using Arrows = std::map<std::string, std::set<std::string>>;

// Top-level folders that are not part of the product's layering: they may include anything.
const std::set<std::string> kOutsideTheLayers = {"tests", "bench", "cmake", "docs", "scripts"};

bool IsSource(const stdfs::path& path) {
  static const std::set<std::string> kExtensions = {".h", ".hpp", ".c", ".cc", ".cpp"};
  return kExtensions.count(path.extension().string()) != 0;
}

// Hidden folders and build folders (whatever their name) are not sources either.
bool IsOutsideTheLayers(const stdfs::path& folder) {
  const std::string name = folder.filename().string();
  return name.empty() || name[0] == '.' || kOutsideTheLayers.count(name) != 0 ||
         stdfs::exists(folder / "CMakeCache.txt");
}

struct Include {
  std::string where;  // "path:line: text"
  std::string top;    // the top-level folder it names; ".." when it climbs out
};

// Every "#include "..."" of the folder's sources that names a folder. An include without a
// folder is the including file's own folder and is not listed.
std::vector<Include> FolderIncludes(const stdfs::path& folder) {
  static const std::regex kInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<Include> found;
  for (const auto& entry : stdfs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
    std::ifstream in(entry.path());
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::smatch match;
      if (!std::regex_search(line, match, kInclude)) continue;
      const std::string target = match[1];
      const std::size_t slash = target.find('/');
      if (slash == std::string::npos) continue;
      found.push_back({entry.path().string() + ":" + std::to_string(number) + ": " + line,
                       target.substr(0, slash)});
    }
  }
  return found;
}

// The includes of the folder that name a folder not in `allowed`; climbing out with "../" is
// never allowed.
std::vector<std::string> ForbiddenIncludes(const stdfs::path& folder,
                                           const std::set<std::string>& allowed) {
  std::vector<std::string> found;
  for (const Include& include : FolderIncludes(folder)) {
    if (include.top == ".." || allowed.count(include.top) == 0) found.push_back(include.where);
  }
  return found;
}

// The "Arrows" table: folder → the folders it may include, itself among them. Empty when the
// document has no such table.
Arrows ReadArrows(const stdfs::path& document) {
  static const std::regex kFolder("`([A-Za-z0-9_-]+)/`");
  std::ifstream in(document);
  std::string line;
  bool in_section = false;
  Arrows arrows;
  while (std::getline(in, line)) {
    if (line.rfind("## ", 0) == 0) {
      if (in_section) break;
      in_section = line == "## Arrows";
      continue;
    }
    if (!in_section || line.rfind("| `", 0) != 0) continue;
    // "| `folder/` | `a/`, `b/` | why |"
    const std::size_t first = line.find('|', 1);
    const std::size_t second = first == std::string::npos ? first : line.find('|', first + 1);
    if (second == std::string::npos) continue;
    std::smatch folder;
    const std::string head = line.substr(1, first - 1);
    if (!std::regex_search(head, folder, kFolder)) continue;
    std::set<std::string>& allowed = arrows[folder[1]];
    allowed.insert(folder[1]);
    const std::string targets = line.substr(first + 1, second - first - 1);
    for (std::sregex_iterator it(targets.begin(), targets.end(), kFolder), end; it != end; ++it) {
      allowed.insert((*it)[1]);
    }
  }
  return arrows;
}

const stdfs::path kSource = QUILLO_SOURCE_DIR;

TEST(LayeringTest, EveryFolderIncludesOnlyWhatItsArrowsAllow) {
  const Arrows arrows = ReadArrows(kSource / "docs" / "architecture.md");
  ASSERT_FALSE(arrows.empty()) << "docs/architecture.md has no \"## Arrows\" table";
  for (const auto& [folder, allowed] : arrows) {
    SCOPED_TRACE(folder);
    ASSERT_TRUE(stdfs::is_directory(kSource / folder)) << "a row for a folder that is not there";
    EXPECT_EQ(ForbiddenIncludes(kSource / folder, allowed), std::vector<std::string>{});
  }
  // Every folder with sources has its row, so a new subsystem cannot bypass the table.
  for (const auto& entry : stdfs::directory_iterator(kSource)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory() || IsOutsideTheLayers(entry.path()) || arrows.count(name) != 0) {
      continue;
    }
    for (const auto& file : stdfs::recursive_directory_iterator(entry.path())) {
      if (file.is_regular_file() && IsSource(file.path())) {
        ADD_FAILURE() << name << "/ holds sources (" << file.path().string()
                      << ") but has no row in the Arrows table";
        break;
      }
    }
  }
}

// Kept apart from the table, so that no edit of the document can let the windows leak down.
TEST(LayeringTest, NothingBelowTheWindowsIncludesThem) {
  const std::vector<std::string> below_the_windows = {
      "platform", "text",     "resources", "store",     "media",
      "service",  "playback", "lyrics",    "downloads", "service-stub"};
  const Arrows arrows = ReadArrows(kSource / "docs" / "architecture.md");
  for (const std::string& layer : below_the_windows) {
    SCOPED_TRACE(layer);
    ASSERT_TRUE(stdfs::is_directory(kSource / layer));
    std::vector<std::string> upward;
    for (const Include& include : FolderIncludes(kSource / layer)) {
      if (include.top == "ui" || include.top == "app") upward.push_back(include.where);
    }
    EXPECT_EQ(upward, std::vector<std::string>{});
    auto row = arrows.find(layer);
    if (row != arrows.end()) {
      EXPECT_EQ(row->second.count("ui") + row->second.count("app"), 0u)
          << "the table lets " << layer << "/ include the windows";
    }
  }
}

// The checker itself: it must see what it is there to catch.
TEST(LayeringTest, FindsForbiddenIncludesWithFileAndLine) {
  quillo::testing::TempFolder root;
  const stdfs::path lyrics = stdfs::path(root.path()) / "lyrics";
  stdfs::create_directories(lyrics / "sub");
  std::ofstream(lyrics / "A.h") << "#pragma once\n"
                                   "#include \"lyrics/B.h\"\n"
                                   "#include \"C.h\"\n"
                                   "#include <ui/NotOurs.h>\n"
                                   "// #include \"ui/Commented.h\" is prose\n"
                                   "  #  include \"downloads/Up.h\"\n";
  std::ofstream(lyrics / "sub" / "D.cpp") << "#include \"../ui/Escape.h\"\n"
                                             "#include \"playback/Player.h\"\n";
  std::ofstream(lyrics / "notes.txt") << "#include \"ui/NotASource.h\"\n";

  std::vector<std::string> found = ForbiddenIncludes(lyrics, {"lyrics", "playback"});
  std::sort(found.begin(), found.end());
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], (lyrics / "A.h").string() + ":6:   #  include \"downloads/Up.h\"");
  EXPECT_EQ(found[1], (lyrics / "sub" / "D.cpp").string() + ":1: #include \"../ui/Escape.h\"");

  std::ofstream(stdfs::path(root.path()) / "doc.md")
      << "# Doc\n\n## Arrows\n\n| Folder | May include | Why |\n|---|---|---|\n"
         "| `platform/` | — | |\n"
         "| `lyrics/` | `playback/`, `store/` | the `LyricStarter/` of playback |\n"
         "\n## Later\n\n| `ui/` | `app/` | not part of the table |\n";
  const Arrows arrows = ReadArrows(stdfs::path(root.path()) / "doc.md");
  EXPECT_EQ(arrows,
            (Arrows{{"platform", {"platform"}}, {"lyrics", {"lyrics", "playback", "store"}}}));
}

}  // namespace
}  // namespace quillo::text
