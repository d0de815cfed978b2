#include "service-stub/Catalogue.h"

#include <gtest/gtest.h>

#include <set>

#include "service-stub/MelodySynth.h"

namespace quillo::stub {
namespace {

TEST(CatalogueTest, EightSongsCoverEveryKindOfFile) {
  const Catalogue catalogue = Catalogue::Design(8, Catalogue::kDefaultSeed);
  ASSERT_EQ(catalogue.songs().size(), 8u);
  std::set<LyricEncoding> encodings;
  bool wma = false, karaoke = false, offset = false, mirrored = false;
  for (const auto& song : catalogue.songs()) {
    encodings.insert(song.lyric);
    wma = wma || song.format == AudioFormat::kWma;
    karaoke = karaoke || song.karaoke;
    offset = offset || song.lyric_offset_ms != 0;
    mirrored = mirrored || song.mirror != MirrorKind::kNone;
  }
  EXPECT_EQ(encodings.size(), 4u);
  EXPECT_TRUE(wma && karaoke && offset && mirrored);
}

TEST(CatalogueTest, SongsLastAsLongAsRealSongs) {
  // 2½ to 5 minutes (a phrase's rounding either way), and not all alike.
  const Catalogue catalogue = Catalogue::Design(40, Catalogue::kDefaultSeed);
  std::set<int> lengths_s;
  for (const auto& song : catalogue.songs()) {
    EXPECT_GE(song.score.duration_ms, 145000) << song.id;
    EXPECT_LE(song.score.duration_ms, 305000) << song.id;
    lengths_s.insert(song.score.duration_ms / 1000);
    // A sung song has a lyric line for every phrase, sung or not.
    EXPECT_EQ(song.lines.size(), song.score.phrases.size()) << song.id;
  }
  EXPECT_GE(lengths_s.size(), 20u);
}

TEST(CatalogueTest, IdsAreServiceIdsAndNamesAreShared) {
  const Catalogue catalogue = Catalogue::Design(40, Catalogue::kDefaultSeed);
  std::set<std::string> ids, artists, albums;
  for (const auto& song : catalogue.songs()) {
    EXPECT_EQ(song.id.find_first_of("_-"), std::string::npos);
    EXPECT_TRUE(ids.insert(song.id).second) << song.id;
    EXPECT_NE(catalogue.FindArtist(song.artist_id), nullptr);
    if (!song.album_id.empty()) {
      EXPECT_NE(catalogue.FindAlbum(song.album_id), nullptr);
    }
    artists.insert(song.artist_id);
    albums.insert(song.album_id);
  }
  EXPECT_LT(artists.size(), catalogue.songs().size());  // artists have several songs
  EXPECT_LT(albums.size(), catalogue.songs().size());   // so do albums
  EXPECT_TRUE(albums.count(""));                        // and some songs have none
}

TEST(CatalogueTest, RankingListsAndGroupsAreTheClientsOnes) {
  const Catalogue catalogue = Catalogue::Design(8, Catalogue::kDefaultSeed);
  const std::vector<std::string> charts = {"1", "2", "4", "5", "3", "6", "21", "31", "11", "12", "13", "14"};
  ASSERT_EQ(catalogue.charts().size(), charts.size());
  for (const auto& id : charts) {
    const CatalogueChart* chart = catalogue.FindChart(id);
    ASSERT_NE(chart, nullptr) << id;
    EXPECT_FALSE(chart->song_ids.empty()) << id;
  }
  EXPECT_EQ(catalogue.FindChart("1")->name, "Zelbo热门歌曲排行");
  const std::vector<std::string> groups = {"", "1", "3", "4", "8", "9", "10", "11", "13", "14", "15"};
  EXPECT_EQ(catalogue.groups().size(), groups.size());
  for (const auto& id : groups) EXPECT_NE(catalogue.FindGroup(id), nullptr) << id;
  EXPECT_EQ(catalogue.SongsInGroup("").size(), 8u);
}

TEST(CatalogueTest, DesignIsDeterministic) {
  const Catalogue a = Catalogue::Design(12, 99);
  const Catalogue b = Catalogue::Design(12, 99);
  for (std::size_t i = 0; i < a.songs().size(); ++i) {
    EXPECT_EQ(a.songs()[i].name, b.songs()[i].name);
    EXPECT_EQ(a.songs()[i].lines, b.songs()[i].lines);
    EXPECT_EQ(a.songs()[i].score.duration_ms, b.songs()[i].score.duration_ms);
  }
  EXPECT_EQ(a.seed_users()[0].playlists[0].id, b.seed_users()[0].playlists[0].id);
}

TEST(CatalogueTest, SeedUsersOwnPlaylistsOfLibrarySongs) {
  const Catalogue catalogue = Catalogue::Design(1, Catalogue::kDefaultSeed);
  ASSERT_EQ(catalogue.seed_users().size(), 2u);
  for (const auto& user : catalogue.seed_users()) {
    const std::set<std::string> library(user.library.begin(), user.library.end());
    for (const auto& playlist : user.playlists) {
      EXPECT_EQ(playlist.id.size(), 32u);
      for (const auto& id : playlist.song_ids) EXPECT_TRUE(library.count(id)) << id;
    }
  }
  EXPECT_EQ(catalogue.seed_users()[1].name, "小明");
  EXPECT_EQ(catalogue.seed_users()[1].password, "密码");
}

TEST(CatalogueTest, FindsSongsByDisplayName) {
  const Catalogue catalogue = Catalogue::Design(8, Catalogue::kDefaultSeed);
  const CatalogueSong& song = catalogue.songs()[2];
  const std::string artist = catalogue.FindArtist(song.artist_id)->name;
  EXPECT_EQ(catalogue.FindSongByDisplayName(song.name + " - " + artist), &song);
  EXPECT_EQ(catalogue.FindSongByDisplayName("  " + song.name + " "), &song);
  EXPECT_EQ(catalogue.FindSongByDisplayName("no such song"), nullptr);
  EXPECT_EQ(catalogue.FindSongByDisplayName(""), nullptr);
}

TEST(MelodySynthTest, RendersAudibleMusicOfTheScoresLength) {
  const MelodyScore score = ComposeMelody(4, {0, 5, 6, 0});
  const auto pcm = RenderMelody(score, 4);
  EXPECT_EQ(pcm.size(), static_cast<std::size_t>(score.duration_ms) * kSampleRate / 1000 * 2);
  // Not silence, and not clipped.
  std::int64_t energy = 0;
  int peak = 0;
  for (const auto sample : pcm) {
    energy += std::abs(sample);
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  EXPECT_GT(energy / static_cast<std::int64_t>(pcm.size()), 500);
  EXPECT_LT(peak, 32767);
  EXPECT_EQ(score.phrases[1].notes.size(), 5u);
  EXPECT_EQ(score.phrases[2].notes.size(), 6u);
}

}  // namespace
}  // namespace quillo::stub
