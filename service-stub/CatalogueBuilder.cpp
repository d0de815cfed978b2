#include "service-stub/CatalogueBuilder.h"

#include <atomic>
#include <cstdlib>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"
#include "service-stub/LyricWriter.h"
#include "service-stub/PictureMaker.h"
#include "service-stub/Scrambler.h"

namespace quillo::stub {
namespace {

// Raise when the generated files change, so that old data folders are regenerated.
constexpr int kCatalogueVersion = 1;
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

}  // namespace

std::string CatalogueBuilder::CatalogueFolder(const std::string& data_folder) {
  return fs::JoinPath(data_folder, "catalogue") + "/";
}

std::optional<Catalogue> CatalogueBuilder::Prepare(const CatalogueRequest& request,
                                                   std::string* error) {
  const std::string folder = CatalogueFolder(request.data_folder);
  if (auto stamp = ReadStamp(folder)) {
    Catalogue catalogue = Catalogue::Design(stamp->songs, stamp->seed);
    if (catalogue.LoadFileSizes(folder)) {
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
  if (!Generate(catalogue, folder, request.threads, error)) return std::nullopt;
  const std::string stamp = "version=" + std::to_string(kCatalogueVersion) +
                            "\nsongs=" + std::to_string(catalogue.songs().size()) +
                            "\nseed=" + std::to_string(catalogue.seed()) + "\n";
  if (!fs::WriteFileAtomic(fs::JoinPath(folder, kStampName), stamp) ||
      !catalogue.LoadFileSizes(folder)) {
    if (error) *error = "cannot finish the catalogue in " + folder;
    return std::nullopt;
  }
  const auto elapsed_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - started).count();
  note_("catalogue generated in " + std::to_string(elapsed_ms) + " ms");
  return catalogue;
}

bool CatalogueBuilder::Generate(const Catalogue& catalogue, const std::string& folder,
                                int threads, std::string* error) {
  return WritePictures(catalogue, folder, error) && WriteLyrics(catalogue, folder, error) &&
         EncodeSongs(catalogue, folder, threads, error);
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

bool CatalogueBuilder::EncodeSongs(const Catalogue& catalogue, const std::string& folder,
                                   int threads, std::string* error) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex error_mutex;
  std::string first_error;
  auto work = [&] {
    while (!failed) {
      const std::size_t i = next++;
      if (i >= catalogue.songs().size()) return;
      const CatalogueSong& song = catalogue.songs()[i];
      const CatalogueArtist* artist = catalogue.FindArtist(song.artist_id);
      const CatalogueAlbum* album = catalogue.FindAlbum(song.album_id);
      AudioTags tags{song.name, artist ? artist->name : "", album ? album->name : "", song.album_seq};
      std::string reason;
      if (!EncodeAudio(RenderMelody(song.score, song.seed), song.format, tags,
                       fs::JoinPath(folder, Catalogue::AudioFile(song)), &reason)) {
        std::lock_guard lock(error_mutex);
        if (!failed.exchange(true)) first_error = reason;
      }
    }
  };
  std::vector<std::thread> workers;
  for (int t = 0; t < std::max(1, threads); ++t) workers.emplace_back(work);
  for (auto& worker : workers) worker.join();
  if (failed && error) *error = first_error;
  return !failed;
}

}  // namespace quillo::stub
