#pragma once
// A data folder with a small library of Chinese and Latin songs, and helpers the list tests
// share: scrambled answers as the service sends them, and list documents.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::testing {

struct LibrarySong {
  const char* id;
  const char* name;
  const char* artist;
  const char* album;
};

// Three songs by 周杰伦, two by 刘德华 (one album), one titled "Jay" by someone else.
inline const std::vector<LibrarySong>& SampleSongs() {
  static const std::vector<LibrarySong> songs{
      {"1", "七里香", "周杰伦", "七里香"}, {"2", "晴天", "周杰伦", "叶惠美"},
      {"3", "稻香", "周杰伦", "魔杰座"},   {"4", "Jay", "Someone", "X"},
      {"5", "后来", "刘若英", "我等你"},   {"6", "忘情水", "刘德华", "忘情水"},
      {"7", "冰雨", "刘德华", "忘情水"},   {"8", "Hello", "Adele", "25"},
  };
  return songs;
}

inline store::MusicRecord SongOf(const LibrarySong& s) {
  return {{"id", s.id},
          {"name", s.name},
          {"artist_name", s.artist},
          {"album_name", s.album},
          {"status", "0"}};
}

// The service's scrambled form of a text: one ignored byte, the block length, then blocks of a
// key byte and up to block-length bytes XORed with it.
inline std::string Scramble(const std::string& text, std::uint8_t block_length = 7) {
  std::string out{'\x01', static_cast<char>(block_length)};
  std::uint8_t key = 0x35;
  for (std::size_t i = 0; i < text.size(); i += block_length) {
    out.push_back(static_cast<char>(key));
    for (std::size_t j = i; j < std::min(text.size(), i + block_length); ++j)
      out.push_back(static_cast<char>(static_cast<std::uint8_t>(text[j]) ^ key));
    key = static_cast<std::uint8_t>(key * 7 + 3);
  }
  return out;
}

// A list document of the service naming the songs.
inline std::string ListDocument(const std::string& list_id,
                                const std::vector<std::pair<std::string, std::string>>& songs) {
  std::string doc = "<list pid='" + list_id + "' pname='x'>";
  for (const auto& [id, name] : songs)
    doc += "<s music_id='" + id + "' music_name='" + name + "' artist_name='歌手'/>";
  return doc + "</list>";
}

class LibraryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.Open(false));
    for (const LibrarySong& s : SampleSongs()) ASSERT_TRUE(runtime_.library().AddMusic(SongOf(s)));
  }
  void TearDown() override { runtime_.Close(); }

  std::vector<std::string> Ids(const std::vector<store::MusicRecordPtr>& records) {
    std::vector<std::string> ids;
    for (const auto& r : records) ids.push_back(store::IdOf(*r));
    return ids;
  }

  TempFolder folder_;
  store::StoreRuntime runtime_{folder_.path()};
};

}  // namespace quillo::testing
