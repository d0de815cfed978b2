// Marked songs answer with a "SorvelList" mirror list; the qlfss1 mirrors XOR their bodies.
#include "ServiceTestSupport.h"

namespace quillo::testing {
namespace {

struct Mirror {
  std::string url;  // the http:// address the client fetches
  bool xored = false;
  std::string extension;  // ".mp3", ".wma"
};

// The client's reading of a mirror list: trimmed lines that begin "http://" or are qlfss1 URLs.
std::vector<Mirror> ReadMirrorList(const std::string& text) {
  std::vector<Mirror> mirrors;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) line.erase(0, 1);
    std::string lower = line;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.rfind("http://", 0) == 0) {
      mirrors.push_back({line, false, line.substr(line.rfind('.'))});
    } else if (lower.rfind("qlfss1://", 0) == 0 && lower.size() > 11 &&
               (lower.substr(lower.size() - 2) == ".1" || lower.substr(lower.size() - 2) == ".2")) {
      mirrors.push_back({"http://" + line.substr(9), true, lower.substr(lower.size() - 2) == ".1" ? ".mp3" : ".wma"});
    }
  }
  return mirrors;
}

using MirrorTest = ServiceTest;

TEST_F(MirrorTest, MarkedSongsAnswerWithMirrorsThatServeTheFile) {
  int marked = 0;
  for (const auto& song : Songs()) {
    if (song.mirror == "none") continue;
    ++marked;
    const HttpAnswer answer = service_.Get("/music/download.php?id=" + song.id + "&type=download&client_id=AB");
    ASSERT_EQ(answer.status, 200);
    EXPECT_FALSE(answer.Header("SorvelList").empty());
    const auto text = Descramble(answer.body);
    ASSERT_TRUE(text);
    const auto mirrors = ReadMirrorList(*text);
    ASSERT_GE(mirrors.size(), 2u) << *text;
    const std::string file = ReadFile(song.audio_file);
    for (const auto& mirror : mirrors) {
      EXPECT_EQ(mirror.extension, song.format == "wma" ? ".wma" : ".mp3") << mirror.url;
      const std::string prefix = service_.base_url();
      ASSERT_EQ(mirror.url.rfind(prefix, 0), 0u) << mirror.url;
      HttpAnswer body = service_.Get("/" + mirror.url.substr(prefix.size()));
      ASSERT_EQ(body.status, 200) << mirror.url;
      EXPECT_EQ(body.Header("Content-Length"), std::to_string(file.size()));
      if (mirror.xored) {
        for (char& c : body.body) c = static_cast<char>(c ^ 0x5A);
      }
      EXPECT_TRUE(body.body == file) << mirror.url;
    }
  }
  EXPECT_GE(marked, 2);
}

TEST_F(MirrorTest, XoredMirrorsResumeWithRanges) {
  for (const auto& song : Songs()) {
    if (song.mirror != "qlfss-pair") continue;
    const std::string target = "/qlfss/b/" + song.id + (song.format == "wma" ? ".2" : ".1");
    const HttpAnswer part = service_.Get(target, {{"Range", "bytes=1000-"}});
    ASSERT_EQ(part.status, 206);
    std::string plain = part.body;
    for (char& c : plain) c = static_cast<char>(c ^ 0x5A);
    EXPECT_EQ(plain, ReadFile(song.audio_file).substr(1000));
    // Wrong extension or unknown song: not found.
    EXPECT_EQ(service_.Get("/qlfss/b/" + song.id + (song.format == "wma" ? ".1" : ".2")).status, 404);
    EXPECT_EQ(service_.Get("/qlfss/b/55555.1").status, 404);
    EXPECT_EQ(service_.Get("/mirror/" + song.id + ".ogg").status, 404);
    return;
  }
  FAIL() << "no song with a qlfss pair";
}

}  // namespace
}  // namespace quillo::testing
