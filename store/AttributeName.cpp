#include "store/AttributeName.h"

#include <algorithm>
#include <array>
#include <functional>

namespace quillo::store {
namespace {

// The names songs carry: the library's, the service's and the program's own. A name missing
// here still works; it only costs its record a copy.
constexpr std::array<std::string_view, 42> kSharedNames = {
    "", "_artist_name", "_name", "album_id", "album_name", "album_seq", "artist_id", "artist_name",
    "bitrate", "client_id", "clientid", "download_time", "duration", "ext_id", "fileName",
    "format", "genre", "id", "length", "lyric", "lyric_file", "music_id", "music_name", "name",
    "path", "paused", "pic", "picture", "playlistId", "playlistName", "progress", "rating", "size",
    "source", "status", "time", "title", "track", "tryout", "type", "url", "year"};

// Shorter names first, then in name order: most comparisons of a lookup are of lengths alone
// (a large library makes a name for every attribute of every song it opens).
bool ShortBefore(std::string_view a, std::string_view b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// The shared texts, in that order.
const std::array<std::string, kSharedNames.size()>& SharedTexts() {
  static const std::array<std::string, kSharedNames.size()> texts = [] {
    std::array<std::string, kSharedNames.size()> made;
    std::copy(kSharedNames.begin(), kSharedNames.end(), made.begin());
    std::sort(made.begin(), made.end(), ShortBefore);
    return made;
  }();
  return texts;
}

}  // namespace

AttributeName::Text AttributeName::Make(std::string_view name) {
  const auto& texts = SharedTexts();
  auto it = std::lower_bound(texts.begin(), texts.end(), name,
                             [](const std::string& text, std::string_view n) {
                               return ShortBefore(text, n);
                             });
  if (it != texts.end() && *it == name) return Text(&*it);
  return Text(new std::string(name));
}

AttributeName::Text AttributeName::Empty() { return Text(&SharedTexts().front()); }

bool AttributeName::Shared(const std::string* text) {
  const auto& texts = SharedTexts();
  // std::less orders any two pointers, also those outside the table.
  std::less<const std::string*> before;
  return !before(text, texts.data()) && before(text, texts.data() + texts.size());
}

}  // namespace quillo::store
