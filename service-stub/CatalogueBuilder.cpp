#include "service-stub/CatalogueBuilder.h"

#include <chrono>
#include <cstdlib>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"
#include "service-stub/LyricWriter.h"
#include "service-stub/PictureMaker.h"
#include "service-stub/Scrambler.h"

namespace quillo::stub {
namespace {

// Raise when the generated files change, so that old data folders are regenerated (version 2:
// songs of real length, their audio rendered when first fetched).
constexpr int kCatalogueVersion = 2;
constexpr char kStampName[] = "catalogue.stamp";

struct Stamp {
  int songs = 0;
  std::uint32_t seed = 0;
};

std::optional<Stamp> ReadStamp(const std::string& folder) {
  const auto text = fs::ReadWholeFile(fs::JoinPath(folder, kStampName));
  if (!text) return std::nullopt;
  Stamp stamp;
  int version = 0;
  std::size_t start = 0;
  while (start < text->size()) {
    std::size_t end = text->find('\n', start);
    if (end == std::string::npos) end = text->size();
    const std::string line = text::Trim(std::string_view(*text).substr(start, end - start));
    if (text::StartsWith(line, "version=")) version = text::LeadingInt(line.substr(8));
    if (text::StartsWith(line, "songs=")) stamp.songs = text::LeadingInt(line.substr(6));
    if (text::StartsWith(line, "seed=")) {
      stamp.seed = static_cast<std::uint32_t>(std::strtoul(line.c_str() + 5, nullptr, 10));
    }
    start = end + 1;
  }
  if (version != kCatalogueVersion || stamp.songs < 1) return std::nullopt;
  return stamp;
}

// Every lyric, karaoke script and picture the design names is in the folder. Audio files are
// not looked for: they come when a song is first fetched.
bool FilesPresent(const Catalogue& catalogue, const std::string& folder) {
  for (const auto& song : catalogue.songs()) {
    if (song.lyric != LyricEncoding::kNone &&
        !fs::FileExists(fs::JoinPath(folder, Catalogue::LyricFile(song)))) {
      return false;
    }
    if (song.karaoke && !fs::FileExists(fs::JoinPath(folder, Catalogue::KaraokeFile(song)))) {
      return false;
    }
  }
  for (const auto& artist : catalogue.artists()) {
    if (!fs::FileExists(fs::JoinPath(folder, Catalogue::PictureFile("artist", artist.id)))) {
      return false;
    }
  }
  for (const auto& album : catalogue.albums()) {
    if (!fs::FileExists(fs::JoinPath(folder, Catalogue::PictureFile("musicalbum", album.id)))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string CatalogueBuilder::CatalogueFolder(const std::string& data_folder) {
  return fs::JoinPath(data_folder, "catalogue") + "/";
}

std::optional<Catalogue> CatalogueBuilder::Prepare(const CatalogueRequest& request,
                                                   std::string* error) {
  const std::string folder = CatalogueFolder(request.data_folder);
  if (auto stamp = ReadStamp(folder)) {
    Catalogue catalogue = Catalogue::Design(stamp->songs, stamp->seed);
    if (FilesPresent(catalogue, folder)) {
      if (stamp->songs != request.songs || stamp->seed != request.seed) {
        note_("using the catalogue of " + std::to_string(stamp->songs) +
              " songs already in the data folder");
      }
      return catalogue;
    }
    note_("catalogue files are missing; generating them again");
  }

  const auto started = std::chrono::steady_clock::now();
  Catalogue catalogue = Catalogue::Design(request.songs, request.seed);
  fs::RemoveTree(folder);
  for (const char* sub : {"music", "lyrics", "pictures"}) {
    if (!fs::CreateFolders(fs::JoinPath(folder, sub))) {
      if (error) *error = "cannot create " + fs::JoinPath(folder, sub);
      return std::nullopt;
    }
  }
  note_("generating a catalogue of " + std::to_string(catalogue.songs().size()) + " songs");
  if (!WritePictures(catalogue, folder, error) || !WriteLyrics(catalogue, folder, error)) {
    return std::nullopt;
  }
  const std::string stamp = "version=" + std::to_string(kCatalogueVersion) +
                            "\nsongs=" + std::to_string(catalogue.songs().size()) +
                            "\nseed=" + std::to_string(catalogue.seed()) + "\n";
  if (!fs::WriteFileAtomic(fs::JoinPath(folder, kStampName), stamp)) {
    if (error) *error = "cannot finish the catalogue in " + folder;
    return std::nullopt;
  }
  const auto elapsed_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - started).count();
  note_("catalogue generated in " + std::to_string(elapsed_ms) + " ms");
  return catalogue;
}

bool CatalogueBuilder::WritePictures(const Catalogue& catalogue, const std::string& folder,
                                     std::string* error) {
  for (const auto& artist : catalogue.artists()) {
    const std::string path = fs::JoinPath(folder, Catalogue::PictureFile("artist", artist.id));
    if (!fs::WriteFile(path, EncodePng(ArtistPicture(static_cast<std::uint32_t>(std::stoul(artist.id)))))) {
      if (error) *error = "cannot write " + path;
      return false;
    }
  }
  for (const auto& album : catalogue.albums()) {
    const std::string path = fs::JoinPath(folder, Catalogue::PictureFile("musicalbum", album.id));
    if (!fs::WriteFile(path, EncodePng(AlbumPicture(static_cast<std::uint32_t>(std::stoul(album.id)))))) {
      if (error) *error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

bool CatalogueBuilder::WriteLyrics(const Catalogue& catalogue, const std::string& folder,
                                   std::string* error) {
  for (const auto& song : catalogue.songs()) {
    if (song.lyric == LyricEncoding::kNone) continue;
    const CatalogueArtist* artist = catalogue.FindArtist(song.artist_id);
    const CatalogueAlbum* album = catalogue.FindAlbum(song.album_id);
    LrcStyle style;
    style.title = song.name;
    style.artist = artist ? artist->name : std::string();
    style.album = album ? album->name : std::string();
    // A GBK file always names its title, which is how a reader tells GBK from UTF-8.
    style.header_tags = song.lyric_headers || song.lyric == LyricEncoding::kGbk;
    style.offset_ms = song.lyric_offset_ms;
    style.three_digit_times = song.three_digit_times;
    style.merge_repeats = song.merge_repeats;
    style.crlf = song.crlf;
    std::string bytes = BuildLrc(song.score, song.lines, style);
    if (song.lyric == LyricEncoding::kGbk) bytes = text::Utf8ToGbk(bytes);
    if (song.lyric == LyricEncoding::kUtf8Bom) bytes = "\xEF\xBB\xBF" + bytes;
    std::string path = fs::JoinPath(folder, Catalogue::LyricFile(song));
    bool written = fs::WriteFile(path, bytes);
    if (written && song.karaoke) {
      Scrambler scrambler(song.seed);
      path = fs::JoinPath(folder, Catalogue::KaraokeFile(song));
      written = fs::WriteFile(
          path, scrambler.Scramble(BuildKaraokeScript(song.score, song.lines, song.language)));
    }
    if (!written) {
      if (error) *error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

}  // namespace quillo::stub
