#include "store/DataFileText.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "store/Migration.h"
#include "store/PrintedItems.h"
#include "store/PrintedSongs.h"

namespace quillo::store {
namespace {

// Stand where the songs and each list's items were cut, so that the parsed document shows
// where that was.
constexpr std::string_view kSongsMarker = "songs-read-ahead";
constexpr std::string_view kItemsMarker = "items-read-ahead";
constexpr int kSongsCut = -1;

// "folders#folder:music#": the root's first `folders`, its first `folder` named "music".
TiXmlElement* MusicFolder(TiXmlDocument& document) {
  TiXmlElement* folders = document.RootElement()->FirstChildElement("folders");
  for (TiXmlElement* folder = folders ? folders->FirstChildElement("folder") : nullptr; folder;
       folder = folder->NextSiblingElement("folder")) {
    const std::string* name = folder->Attribute(std::string("name"));
    if (name != nullptr && *name == "music") return folder;
  }
  return nullptr;
}

std::size_t CountOf(std::string_view text, std::string_view word) {
  std::size_t count = 0;
  for (std::size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) ++count;
  return count;
}

// The text with the songs and the lists' items cut out, a marker in each place (the one of a
// list numbered by its place in `lists`). Made in one piece: the cuts are most of a large file,
// the rest is still megabytes.
std::string TextWithoutCuts(const std::string& text, const std::optional<PrintedSongs>& songs,
                            const std::vector<PrintedItems>& lists) {
  struct Cut {
    std::size_t begin;
    std::size_t end;
    int list;
  };
  std::vector<Cut> cuts;
  cuts.reserve(lists.size() + 1);
  std::size_t cut_size = 0;
  if (songs) cuts.push_back({songs->begin, songs->end, kSongsCut});
  for (std::size_t i = 0; i < lists.size(); ++i) {
    cuts.push_back({lists[i].begin, lists[i].end, static_cast<int>(i)});
  }
  std::sort(cuts.begin(), cuts.end(), [](const Cut& a, const Cut& b) { return a.begin < b.begin; });
  for (const Cut& cut : cuts) cut_size += cut.end - cut.begin;
  std::string rest;
  rest.reserve(text.size() - cut_size + cuts.size() * (kItemsMarker.size() + 24));
  std::size_t at = 0;
  for (const Cut& cut : cuts) {
    rest.append(text, at, cut.begin - at);
    if (cut.list == kSongsCut) {
      rest.append("<").append(kSongsMarker).append(" />");
    } else {
      rest.append("<").append(kItemsMarker).append(" n=\"").append(std::to_string(cut.list)).append("\" />");
    }
    at = cut.end;
  }
  rest.append(text, at);
  return rest;
}

// Whether the folder holds the songs' marker alone; it is removed.
bool TakeSongsMarker(TiXmlDocument& document) {
  TiXmlElement* folder = MusicFolder(document);
  TiXmlNode* only = folder ? folder->FirstChild() : nullptr;
  if (only == nullptr || only->NextSibling() != nullptr || only->ToElement() == nullptr ||
      only->ValueStr() != kSongsMarker) {
    return false;
  }
  folder->RemoveChild(only);
  return true;
}

// Finds the lists' markers below `element`, each the only content of a `playlist`, into
// `playlists` (by the marker's number). False for a marker anywhere else, or numbered wrong.
bool FindItemsMarkers(TiXmlElement& element, std::vector<TiXmlElement*>& playlists) {
  for (TiXmlElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (child->ValueStr() != kItemsMarker) {
      if (!FindItemsMarkers(*child, playlists)) return false;
      continue;
    }
    int number = -1;
    if (element.ValueStr() != "playlist" || element.FirstChild() != child ||
        child->NextSibling() != nullptr || child->QueryIntAttribute("n", &number) != TIXML_SUCCESS ||
        number < 0 || static_cast<std::size_t>(number) >= playlists.size() ||
        playlists[static_cast<std::size_t>(number)] != nullptr) {
      return false;
    }
    playlists[static_cast<std::size_t>(number)] = &element;
  }
  return true;
}

}  // namespace

bool ParseDocumentText(TiXmlDocument& document, const std::string& text) {
  document.Clear();
  document.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
  return !document.Error() && document.RootElement() != nullptr;
}

bool ParseDataFileText(TiXmlDocument& document, const std::string& text, ReadAheadWanted wanted,
                       ReadAhead& read_ahead) {
  read_ahead = {};
  std::optional<PrintedSongs> songs = wanted.songs ? ReadPrintedSongs(text) : std::nullopt;
  std::vector<PrintedItems> lists;
  if (wanted.items) {
    // The songs' folder holds no list; it is most of a large file.
    lists = ReadPrintedItems(text, 0, songs ? songs->begin : text.size());
    if (songs) {
      std::vector<PrintedItems> after = ReadPrintedItems(text, songs->end, text.size());
      std::move(after.begin(), after.end(), std::back_inserter(lists));
    }
  }
  if (songs || !lists.empty()) {
    const std::string rest = TextWithoutCuts(text, songs, lists);
    if (CountOf(rest, kSongsMarker) == (songs ? 1u : 0u) && CountOf(rest, kItemsMarker) == lists.size() &&
        ParseDocumentText(document, rest) && !MigrationApplies(document)) {
      std::vector<TiXmlElement*> playlists(lists.size(), nullptr);
      if ((!songs || TakeSongsMarker(document)) &&
          (lists.empty() || FindItemsMarkers(*document.RootElement(), playlists)) &&
          std::find(playlists.begin(), playlists.end(), nullptr) == playlists.end()) {
        if (songs) read_ahead.songs = std::move(songs->records);
        read_ahead.lists.reserve(lists.size());
        for (std::size_t i = 0; i < lists.size(); ++i) {
          playlists[i]->RemoveChild(playlists[i]->FirstChild());
          read_ahead.lists.push_back({playlists[i], std::move(lists[i].ids)});
        }
        return true;
      }
    }
  }
  return ParseDocumentText(document, text);
}

}  // namespace quillo::store
