#pragma once
// The service's catalogue: artists, albums, songs, the ranking lists, the random-listening
// groups and the two seeded users. The design is a pure function of the song count and a seed,
// so every start of the service derives the same catalogue; only the files are generated, once:
// lyrics and pictures by CatalogueBuilder at the first start, each song's audio by SongRenderer
// when the song is first fetched. Read-only after construction, so any
// thread may use it.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "service-stub/AudioEncoder.h"
#include "service-stub/CatalogueText.h"
#include "service-stub/MelodySynth.h"

namespace quillo::stub {

enum class LyricEncoding { kNone, kUtf8, kUtf8Bom, kGbk };
// How a song's download is answered: the file itself, or a mirror list of one of these forms.
enum class MirrorKind { kNone, kQlfssPair, kHttpThenQlfss, kMixed };

struct CatalogueArtist {
  std::string id;
  std::string name;
  int group_id = 15;
  Language language = Language::kChinese;
};

struct CatalogueAlbum {
  std::string id;
  std::string name;
  std::string artist_id;
};

struct CatalogueSong {
  int index = 0;
  std::string id;
  std::string name;
  std::string artist_id;
  std::string album_id;  // empty: the song belongs to no album
  int album_seq = 0;
  AudioFormat format = AudioFormat::kMp3;
  int group_id = 15;
  Language language = Language::kChinese;
  std::uint32_t seed = 0;
  MelodyScore score;
  std::vector<std::string> lines;  // one per phrase, empty for instrumental phrases
  LyricEncoding lyric = LyricEncoding::kUtf8;
  int lyric_offset_ms = 0;
  bool lyric_headers = false;
  bool three_digit_times = false;
  bool merge_repeats = false;
  bool crlf = true;
  bool karaoke = false;
  MirrorKind mirror = MirrorKind::kNone;
};

struct CatalogueChart {
  std::string id;  // the chart number the client sends
  std::string name;
  std::vector<std::string> song_ids;
};

struct RandomGroup {
  std::string id;  // empty for the group of all songs
  std::string name;
};

struct SeedPlaylist {
  std::string id;
  std::string name;
  std::vector<std::string> song_ids;
};

struct SeedUser {
  std::string id;
  std::string name;
  std::string password;
  std::string gender;
  std::vector<std::string> library;
  std::vector<SeedPlaylist> playlists;
};

class Catalogue {
 public:
  static constexpr int kDefaultSongs = 40;
  static constexpr int kMaxSongs = 400;
  static constexpr std::uint32_t kDefaultSeed = 20080808;

  // song_count is clamped to 1..kMaxSongs.
  static Catalogue Design(int song_count, std::uint32_t seed);

  const std::vector<CatalogueSong>& songs() const { return songs_; }
  const std::vector<CatalogueArtist>& artists() const { return artists_; }
  const std::vector<CatalogueAlbum>& albums() const { return albums_; }
  const std::vector<CatalogueChart>& charts() const { return charts_; }
  const std::vector<RandomGroup>& groups() const { return groups_; }
  const std::vector<SeedUser>& seed_users() const { return seed_users_; }
  std::uint32_t seed() const { return seed_; }

  const CatalogueSong* FindSong(const std::string& id) const;
  const CatalogueArtist* FindArtist(const std::string& id) const;
  const CatalogueAlbum* FindAlbum(const std::string& id) const;
  const CatalogueChart* FindChart(const std::string& id) const;
  const RandomGroup* FindGroup(const std::string& id) const;
  // A song by "title - artist" or by its title alone, ASCII letters compared without case.
  const CatalogueSong* FindSongByDisplayName(const std::string& name) const;
  std::vector<const CatalogueSong*> SongsInGroup(const std::string& group_id) const;
  std::vector<const CatalogueSong*> SongsOfArtist(const std::string& artist_id) const;
  // Songs whose title, artist or album contains the text (ASCII letters without case).
  std::vector<const CatalogueSong*> Search(const std::string& text) const;

  // Paths relative to the catalogue folder.
  static std::string AudioFile(const CatalogueSong& song);
  static std::string LyricFile(const CatalogueSong& song);    // ".lrc"
  static std::string KaraokeFile(const CatalogueSong& song);  // ".mrc"
  static std::string PictureFile(const std::string& kind, const std::string& id);

 private:
  void DesignSongs(int song_count);
  void DesignCharts();
  void DesignUsers();
  void Index();

  std::uint32_t seed_ = kDefaultSeed;
  std::vector<CatalogueArtist> artists_;
  std::vector<CatalogueAlbum> albums_;
  std::vector<CatalogueSong> songs_;
  std::vector<CatalogueChart> charts_;
  std::vector<RandomGroup> groups_;
  std::vector<SeedUser> seed_users_;
  std::map<std::string, std::size_t> song_index_, artist_index_, album_index_;
};

}  // namespace quillo::stub
