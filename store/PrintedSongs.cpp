#include "store/PrintedSongs.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_set>

#include "store/DocumentStore.h"
#include "store/PrintedTextReader.h"

namespace quillo::store {
namespace {

constexpr std::string_view kFolderStart = "<folder name=\"music\">";
constexpr std::string_view kFolderEnd = "</folder>";

}  // namespace

std::optional<PrintedSongs> ReadPrintedSongs(std::string_view text) {
  const std::size_t start = text.find(kFolderStart);
  if (start == std::string_view::npos) return std::nullopt;
  if (text.find(kFolderStart, start + 1) != std::string_view::npos) return std::nullopt;
  PrintedSongs songs;
  songs.begin = start + kFolderStart.size();
  PrintedTextReader reader(text, songs.begin);
  std::unordered_set<std::string_view> ids;
  std::string name;
  std::string value;
  while (true) {
    reader.SkipSpace();
    if (reader.AtEnd()) return std::nullopt;
    if (text.substr(reader.at(), kFolderEnd.size()) == kFolderEnd) {
      songs.end = reader.at();
      break;
    }
    if (!reader.Take("<file") || !reader.AtSpace()) return std::nullopt;
    MusicRecord record;
    // Room for every attribute at once (each value is quoted) and for the search keys the
    // library adds: a library of 100,000 songs would otherwise grow each record several times
    // over, and once more as it enters the library.
    const std::string_view element =
        text.substr(reader.at(), text.find("/>", reader.at()) - reader.at());
    constexpr std::string_view kSearchKeys[] = {kSearchNameKey, kSearchArtistKey};
    record.reserve(static_cast<std::size_t>(std::count(element.begin(), element.end(), '"')) / 2 +
                   std::size(kSearchKeys));
    while (true) {
      reader.SkipSpace();
      if (reader.Take("/>")) break;
      if (!reader.Attribute(name, value)) return std::nullopt;
      // The parser refuses an element naming an attribute twice; so does this reader.
      if (!record.try_emplace(name, value).second) return std::nullopt;
    }
    auto id = record.find("id");
    if (id == record.end()) return std::nullopt;
    songs.records.push_back(std::move(record));
  }
  // Ids are checked once the records stand still (their texts are the set's keys).
  ids.reserve(songs.records.size());
  for (const MusicRecord& record : songs.records) {
    if (!ids.insert(IdOf(record)).second) return std::nullopt;
  }
  return songs;
}

}  // namespace quillo::store
