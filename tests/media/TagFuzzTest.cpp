// Randomised corruption of valid tags: the readers must neither crash nor read outside their
// buffers (the sanitizer build checks the latter).
#include <gtest/gtest.h>

#include <random>

#include "TagBytes.h"
#include "media/MP3ID3v1.h"
#include "media/MP3ID3v2.h"
#include "media/WMAInfo.h"
#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace quillo::media {
namespace {

using namespace quillo::testing;

std::string Corrupt(std::string bytes, std::mt19937& random) {
  std::uniform_int_distribution<int> kind(0, 3);
  int edits = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < edits && !bytes.empty(); ++i) {
    std::size_t at = random() % bytes.size();
    switch (kind(random)) {
      case 0: bytes[at] = static_cast<char>(random()); break;
      case 1: bytes[at] = static_cast<char>(0xFF); break;
      case 2: bytes.resize(at); break;
      default: bytes.insert(at, std::string(1 + random() % 4, static_cast<char>(random()))); break;
    }
  }
  return bytes;
}

TEST(TagFuzzTest, Id3ReadersSurviveCorruption) {
  std::mt19937 random(20240601);
  std::string v3 = Tag(Frame("TIT2", std::string("\x01\xFF\xFE", 3) + Utf16Le(u"歌曲")) +
                       Frame("COMM", std::string("\x01" "eng\xFF\xFE\0\0\xFF\xFE", 10) + Utf16Le(u"c")) +
                       Frame("TPE1", std::string(1, '\0') + "Artist"), 3, 20) + FakeAudio(100);
  std::string v4 = Tag(Frame("TALB", std::string("\x03", 1) + "专辑", 4) + Frame("TDRC", "\x03" "2001", 4), 4) + FakeAudio(50);
  std::string v1 = FakeAudio(40) + Id3v1Block("T", "A", "B", "1999", "C", 3);
  int parsed = 0;
  for (int round = 0; round < 4000; ++round) {
    const std::string& base = round % 3 == 0 ? v3 : round % 3 == 1 ? v4 : v1;
    std::string bytes = Corrupt(base, random);
    // Exact-size copies so that any read past the end is a heap overflow the sanitizer sees.
    std::unique_ptr<char[]> exact(new char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    std::string_view view(exact.get(), bytes.size());
    if (auto tag = MP3ID3v2::Parse(view, view.size())) {
      TagInfo info;
      MP3ID3v2::Fill(*tag, info);
      ++parsed;
      TagInfo writing;
      writing.title = "x";
      auto rewritten = MP3ID3v2::Rewrite(view, writing);
      ASSERT_TRUE(rewritten);
      EXPECT_TRUE(MP3ID3v2::Parse(*rewritten, rewritten->size()));
    }
    if (view.size() >= 128) {
      TagInfo info;
      MP3ID3v1::ParseBlock(view.substr(view.size() - 128), info);
    }
  }
  EXPECT_GT(parsed, 100);  // the corruption left many tags readable: the loop tested the parser
}

TEST(TagFuzzTest, AsfReaderSurvivesCorruption) {
  std::mt19937 random(777);
  quillo::testing::TempFolder folder;
  const std::string path = folder / "f.wma";
  std::string base = AsfFile({AsfFileProperties(), AsfContentDescription(u"Title", u"Author"),
                              AsfExtended({{u"WM/AlbumTitle", 0, Utf16Le(std::u16string(u"A") + u'\0')},
                                           {u"X", 3, LittleEndian(1, 4)}})},
                             20100);
  int readable = 0;
  for (int round = 0; round < 600; ++round) {
    // Corrupt the header only, so most files keep their size above the reader's minimum.
    std::string header = Corrupt(base.substr(0, 400), random);
    std::string bytes = header + base.substr(400);
    ASSERT_TRUE(fs::WriteFile(path, bytes));
    auto file = TagFile::Open(path);
    ASSERT_TRUE(file);
    WMAInfo wma;
    int result = wma.Read(*file);
    if (result == WMAInfo::kOk) ++readable;
    wma.SetAlbum("new");
    if (wma.Write(*file)) {
      // Whatever was written parses again.
      ASSERT_TRUE(file->Commit());
      auto again = TagFile::Open(path);
      WMAInfo check;
      EXPECT_NE(check.Read(*again), WMAInfo::kUnreadable);
    }
  }
  EXPECT_GT(readable, 10);
}

TEST(TagFuzzTest, RandomBytes) {
  std::mt19937 random(5);
  int tags = 0;
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(10 + random() % 300, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    if (round % 2 == 0) bytes.replace(0, 4, "ID3\x03");
    if (auto tag = MP3ID3v2::Parse(bytes, bytes.size())) {
      TagInfo info;
      MP3ID3v2::Fill(*tag, info);
      ++tags;
    }
  }
  EXPECT_GT(tags, 500);
}

}  // namespace
}  // namespace quillo::media
