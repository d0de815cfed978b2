#include "service-stub/Catalogue.h"

#include <algorithm>
#include <set>

#include "platform/crypto/Crypto.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "service-stub/LyricWriter.h"

namespace quillo::stub {
namespace {

// Each song has a slot (its index modulo 8) that fixes the features tests rely on, so that a
// catalogue of eight songs already has every kind of file: MP3 and WMA, every lyric encoding,
// offsets, karaoke scripts, instrumentals and mirrored downloads.
constexpr int kSlots = 8;
// Lengths like real songs' (2½ to 5 minutes); a round adds a few seconds so that songs of one
// slot differ. At 128 kbit/s even the shortest is several times the size a song download must
// reach at least (512000 bytes, 32 s).
constexpr int kTargetMs[kSlots] = {212000, 265000, 178000, 243000, 156000, 198000, 287000, 231000};
constexpr int kRoundStepMs = 4000;
// Artist (index into ArtistTexts) per slot and round.
constexpr int kSlotArtists[kSlots][3] = {{0, 8, 13}, {1, 3, 11}, {2, 10, 5}, {0, 6, 14},
                                         {4, 12, 15}, {5, 2, 10}, {1, 6, 14}, {7, 9, 7}};

std::string UpperMd5(const std::string& text) {
  std::string hex = crypto::Md5Hex(text);
  std::transform(hex.begin(), hex.end(), hex.begin(), [](char c) {
    return static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
  });
  return hex;
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b) {
  std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u + (a << 6) + (a >> 2));
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return h;
}

std::string SongId(int index) { return std::to_string(7 * index * index + index + 1); }

// Lines for the sung phrases: verses with the two chorus lines after every four of them. With
// chorus_first the song opens with its first chorus line and returns to it after every two
// verses, so that even a short song repeats a line.
std::vector<std::string> PlanLines(Language language, std::uint32_t seed, int sung_count,
                                   bool chorus_first) {
  const auto& verses = VerseLines(language);
  const auto& chorus = ChorusLines(language);
  std::vector<std::string> lines;
  std::size_t verse = seed % verses.size();
  const std::size_t chorus_start = (seed / 7) % chorus.size();
  int since_chorus = 0;
  if (chorus_first) {
    while (static_cast<int>(lines.size()) < sung_count) {
      if (lines.size() % 3 == 0) {
        lines.emplace_back(chorus[chorus_start]);
      } else {
        lines.emplace_back(verses[verse]);
        verse = (verse + 1) % verses.size();
      }
    }
    return lines;
  }
  while (static_cast<int>(lines.size()) < sung_count) {
    if (since_chorus == 4) {
      lines.emplace_back(chorus[chorus_start]);
      if (static_cast<int>(lines.size()) < sung_count) {
        lines.emplace_back(chorus[(chorus_start + 1) % chorus.size()]);
      }
      since_chorus = 0;
      continue;
    }
    lines.emplace_back(verses[verse]);
    verse = (verse + 1) % verses.size();
    ++since_chorus;
  }
  return lines;
}

}  // namespace

Catalogue Catalogue::Design(int song_count, std::uint32_t seed) {
  Catalogue catalogue;
  catalogue.seed_ = seed;
  const auto& texts = ArtistTexts();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    CatalogueArtist artist;
    artist.id = std::to_string(201 + i);
    artist.name = std::string(texts[i].name);
    artist.group_id = texts[i].group_id;
    artist.language = texts[i].language;
    catalogue.artists_.push_back(artist);
  }
  catalogue.groups_ = {{"", "全部"},       {"1", "华人男歌手"}, {"3", "华人女歌手"},
                       {"4", "华人组合"},  {"8", "日本歌手"},   {"9", "韩国歌手"},
                       {"10", "欧美歌手"}, {"11", "影视歌曲"},  {"13", "DJ舞曲"},
                       {"14", "动漫游戏"}, {"15", "其他"}};
  catalogue.DesignSongs(std::clamp(song_count, 1, kMaxSongs));
  catalogue.Index();
  catalogue.DesignCharts();
  catalogue.DesignUsers();
  return catalogue;
}

void Catalogue::DesignSongs(int song_count) {
  std::map<std::string, int> songs_of_artist;
  std::map<std::string, std::vector<std::string>> albums_of_artist;
  std::map<Language, std::size_t> titles_used;
  for (int k = 0; k < song_count; ++k) {
    const int slot = k % kSlots;
    const int round = k / kSlots;
    const CatalogueArtist& artist = artists_[static_cast<std::size_t>(kSlotArtists[slot][round % 3])];
    CatalogueSong song;
    song.index = k;
    song.id = SongId(k);
    song.seed = Mix(seed_, static_cast<std::uint32_t>(k));
    song.artist_id = artist.id;
    song.language = artist.language;
    song.group_id = artist.group_id;
    if (slot == 6 && round % 2 == 1) song.group_id = 11;  // a film song
    song.format = (slot == 2 || slot == 6) ? AudioFormat::kWma : AudioFormat::kMp3;

    const auto& titles = SongTitles(song.language);
    const std::size_t used = titles_used[song.language]++;
    song.name = std::string(titles[used % titles.size()]);
    if (used >= titles.size()) song.name += " " + std::to_string(used / titles.size() + 1);

    // Albums of three songs each; the anonymous artist's songs have none.
    const int nth = songs_of_artist[artist.id]++;
    if (artist.group_id != 15) {
      auto& albums = albums_of_artist[artist.id];
      const std::size_t album_number = static_cast<std::size_t>(nth / 3);
      if (album_number >= albums.size()) {
        const auto& album_titles = AlbumTitles(artist.language);
        CatalogueAlbum album;
        album.id = std::to_string(501 + albums_.size());
        album.name = std::string(album_titles[(std::stoi(artist.id) + album_number) % album_titles.size()]);
        album.artist_id = artist.id;
        albums_.push_back(album);
        albums.push_back(album.id);
      }
      song.album_id = albums[album_number];
      song.album_seq = nth % 3 + 1;
    }

    const bool instrumental = slot == 4;
    const int target_ms = kTargetMs[slot] + (round % 3) * kRoundStepMs;
    const int phrase_ms = PhraseLengthMs(song.seed);
    const int phrases = std::max((target_ms + phrase_ms / 2) / phrase_ms, 3);
    std::vector<int> plan(static_cast<std::size_t>(phrases), 0);
    int sung = 0;
    for (int p = 1; p + 1 < phrases; ++p) {
      if (instrumental || p % 7 == 0) continue;  // breaks between verses
      plan[static_cast<std::size_t>(p)] = -1;
      ++sung;
    }
    if (!instrumental && sung == 0) {
      plan[1] = -1;
      sung = 1;
    }
    const auto sung_lines = PlanLines(song.language, song.seed, sung, slot == 5);
    std::size_t next_line = 0;
    for (std::size_t p = 0; p < plan.size(); ++p) {
      if (plan[p] == 0) {
        song.lines.emplace_back();
        continue;
      }
      song.lines.push_back(sung_lines[next_line++]);
      plan[p] = static_cast<int>(LyricUnits(song.lines.back(), song.language).size());
    }
    song.score = ComposeMelody(song.seed, plan);

    switch (slot) {
      case 0: song.lyric = LyricEncoding::kUtf8; song.lyric_headers = true; song.karaoke = true; break;
      case 1: song.lyric = LyricEncoding::kGbk; song.lyric_headers = true; break;
      case 2: song.lyric = LyricEncoding::kUtf8Bom; break;
      case 3:
        song.lyric = LyricEncoding::kUtf8;
        song.lyric_offset_ms = 500;
        song.three_digit_times = true;
        song.karaoke = true;
        break;
      case 4: song.lyric = LyricEncoding::kNone; break;
      case 5:
        song.lyric = LyricEncoding::kUtf8;
        song.merge_repeats = true;
        song.crlf = false;
        song.karaoke = true;
        break;
      case 6:
        song.lyric = LyricEncoding::kGbk;
        song.lyric_headers = true;
        song.lyric_offset_ms = -300;
        break;
      default:
        song.lyric = LyricEncoding::kUtf8Bom;
        song.lyric_headers = true;
        song.three_digit_times = true;
        break;
    }
    // GBK cannot carry every script; those songs keep UTF-8.
    if (song.lyric == LyricEncoding::kGbk && song.language != Language::kChinese) {
      song.lyric = LyricEncoding::kUtf8;
    }
    if (slot == 3) song.mirror = MirrorKind::kQlfssPair;
    if (slot == 6) song.mirror = MirrorKind::kHttpThenQlfss;
    if (slot == 1 && round % 2 == 1) song.mirror = MirrorKind::kMixed;
    songs_.push_back(std::move(song));
  }
}

void Catalogue::Index() {
  for (std::size_t i = 0; i < songs_.size(); ++i) song_index_[songs_[i].id] = i;
  for (std::size_t i = 0; i < artists_.size(); ++i) artist_index_[artists_[i].id] = i;
  for (std::size_t i = 0; i < albums_.size(); ++i) album_index_[albums_[i].id] = i;
}

void Catalogue::DesignCharts() {
  std::vector<const CatalogueSong*> popular;
  for (const auto& song : songs_) popular.push_back(&song);
  std::stable_sort(popular.begin(), popular.end(), [this](const auto* a, const auto* b) {
    return Mix(seed_ ^ 0xC0FFEEu, static_cast<std::uint32_t>(a->index)) <
           Mix(seed_ ^ 0xC0FFEEu, static_cast<std::uint32_t>(b->index));
  });
  std::vector<const CatalogueSong*> newest;
  for (auto it = songs_.rbegin(); it != songs_.rend(); ++it) newest.push_back(&*it);
  std::vector<const CatalogueSong*> oldest;
  for (const auto& song : songs_) oldest.push_back(&song);

  auto pick = [&](const std::vector<const CatalogueSong*>& order, auto keep, std::size_t limit) {
    std::vector<std::string> ids;
    for (std::size_t i = 0; i < order.size() && ids.size() < limit; ++i) {
      if (keep(*order[i], i)) ids.push_back(order[i]->id);
    }
    // A list is never empty: a small catalogue fills it with the most popular songs.
    for (std::size_t i = 0; ids.empty() && i < popular.size() && i < 5; ++i) {
      ids.push_back(popular[i]->id);
    }
    return ids;
  };
  auto any = [](const CatalogueSong&, std::size_t) { return true; };
  auto language = [](Language l) {
    return [l](const CatalogueSong& s, std::size_t) { return s.language == l; };
  };
  auto chinese_part = [](int part) {
    return [part](const CatalogueSong& s, std::size_t) {
      return s.language == Language::kChinese && s.index % 3 == part;
    };
  };
  std::vector<const CatalogueSong*> reversed_popular(popular.rbegin(), popular.rend());
  charts_ = {
      {"1", "Zelbo热门歌曲排行", pick(popular, any, 20)},
      {"2", "Zelbo新歌排行", pick(newest, any, 15)},
      {"4", "日文歌曲排行", pick(popular, language(Language::kJapanese), 20)},
      {"5", "韩文歌曲排行", pick(popular, language(Language::kKorean), 20)},
      {"3", "欧美歌曲排行", pick(popular, language(Language::kEnglish), 20)},
      {"6", "经典老歌", pick(oldest, any, 15)},
      {"21", "百度MP3最新金曲", pick(newest, [](const CatalogueSong&, std::size_t i) { return i % 2 == 0; }, 15)},
      {"31", "百度MP3热门音乐", pick(reversed_popular, any, 15)},
      {"11", "钱柜华语歌曲总排行", pick(popular, language(Language::kChinese), 20)},
      {"12", "钱柜粤语歌曲总排行", pick(popular, chinese_part(0), 20)},
      {"13", "钱柜华语新歌排行", pick(newest, language(Language::kChinese), 15)},
      {"14", "钱柜粤语新歌排行", pick(newest, chinese_part(1), 15)},
  };
}

void Catalogue::DesignUsers() {
  const auto count = songs_.size();
  auto ids = [&](std::initializer_list<std::size_t> indexes) {
    std::vector<std::string> out;
    std::set<std::string> seen;
    for (const std::size_t i : indexes) {
      const std::string& id = songs_[i % count].id;
      if (seen.insert(id).second) out.push_back(id);
    }
    return out;
  };
  SeedUser demo{"10001", "demo", "demo", "1", ids({0, 1, 2, 3, 4, 5}), {}};
  demo.playlists = {{UpperMd5("demo/我的收藏"), "我的收藏", ids({0, 3, 2})},
                    {UpperMd5("demo/Road Trip"), "Road Trip", ids({1, 5, 4})}};
  SeedUser ming{"10002", "小明", "密码", "1", ids({1, 3, 6, 7}), {}};
  ming.playlists = {{UpperMd5("小明/我的最爱"), "我的最爱", ids({3, 1})},
                    {UpperMd5("小明/夜晚听"), "夜晚听", ids({6})}};
  seed_users_ = {demo, ming};
}

const CatalogueSong* Catalogue::FindSong(const std::string& id) const {
  auto it = song_index_.find(id);
  return it == song_index_.end() ? nullptr : &songs_[it->second];
}

const CatalogueArtist* Catalogue::FindArtist(const std::string& id) const {
  auto it = artist_index_.find(id);
  return it == artist_index_.end() ? nullptr : &artists_[it->second];
}

const CatalogueAlbum* Catalogue::FindAlbum(const std::string& id) const {
  auto it = album_index_.find(id);
  return it == album_index_.end() ? nullptr : &albums_[it->second];
}

const CatalogueChart* Catalogue::FindChart(const std::string& id) const {
  for (const auto& chart : charts_) {
    if (chart.id == id) return &chart;
  }
  return nullptr;
}

const RandomGroup* Catalogue::FindGroup(const std::string& id) const {
  for (const auto& group : groups_) {
    if (group.id == id) return &group;
  }
  return nullptr;
}

const CatalogueSong* Catalogue::FindSongByDisplayName(const std::string& name) const {
  const std::string wanted = text::ToLowerAscii(text::Trim(name));
  if (wanted.empty()) return nullptr;
  for (const auto& song : songs_) {
    const CatalogueArtist* artist = FindArtist(song.artist_id);
    const std::string full = song.name + " - " + (artist ? artist->name : std::string());
    if (text::ToLowerAscii(full) == wanted) return &song;
  }
  for (const auto& song : songs_) {
    if (text::ToLowerAscii(song.name) == wanted) return &song;
  }
  return nullptr;
}

std::vector<const CatalogueSong*> Catalogue::SongsInGroup(const std::string& group_id) const {
  std::vector<const CatalogueSong*> out;
  for (const auto& song : songs_) {
    if (group_id.empty() || std::to_string(song.group_id) == group_id) out.push_back(&song);
  }
  return out;
}

std::vector<const CatalogueSong*> Catalogue::SongsOfArtist(const std::string& artist_id) const {
  std::vector<const CatalogueSong*> out;
  for (const auto& song : songs_) {
    if (song.artist_id == artist_id) out.push_back(&song);
  }
  return out;
}

std::vector<const CatalogueSong*> Catalogue::Search(const std::string& query) const {
  std::vector<const CatalogueSong*> out;
  const std::string wanted = text::ToLowerAscii(text::Trim(query));
  if (wanted.empty()) return out;
  for (const auto& song : songs_) {
    const CatalogueArtist* artist = FindArtist(song.artist_id);
    const CatalogueAlbum* album = FindAlbum(song.album_id);
    const std::string haystack = text::ToLowerAscii(
        song.name + "\n" + (artist ? artist->name : "") + "\n" + (album ? album->name : ""));
    if (haystack.find(wanted) != std::string::npos) out.push_back(&song);
  }
  return out;
}

std::string Catalogue::AudioFile(const CatalogueSong& song) {
  return "music/" + song.id + (song.format == AudioFormat::kWma ? ".wma" : ".mp3");
}

std::string Catalogue::LyricFile(const CatalogueSong& song) { return "lyrics/" + song.id + ".lrc"; }

std::string Catalogue::KaraokeFile(const CatalogueSong& song) {
  return "lyrics/" + song.id + ".mrc";
}

std::string Catalogue::PictureFile(const std::string& kind, const std::string& id) {
  return "pictures/" + kind + "-" + id + ".png";
}

}  // namespace quillo::stub
