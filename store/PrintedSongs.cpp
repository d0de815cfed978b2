#include "store/PrintedSongs.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_set>

#include "store/DocumentStore.h"
#include "store/Migration.h"

namespace quillo::store {
namespace {

constexpr std::string_view kFolderStart = "<folder name=\"music\">";
constexpr std::string_view kFolderEnd = "</folder>";
// Stands where the songs were cut, so that the parsed document shows where that was.
constexpr std::string_view kPlaceholderName = "songs-read-ahead";

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

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  explicit Reader(std::string_view text, std::size_t at) : text_(text), at_(at) {}

  std::size_t at() const { return at_; }
  void SkipSpace() {
    while (at_ < text_.size() && IsSpace(text_[at_])) ++at_;
  }
  bool Take(std::string_view expected) {
    if (text_.substr(at_, expected.size()) != expected) return false;
    at_ += expected.size();
    return true;
  }
  bool AtEnd() const { return at_ >= text_.size(); }

  // name="value" with the value's entities decoded as the XML parser decodes them.
  bool Attribute(std::string& name, std::string& value) {
    const std::size_t name_start = at_;
    while (at_ < text_.size() && text_[at_] != '=' && !IsSpace(text_[at_]) && text_[at_] != '/' &&
           text_[at_] != '>')
      ++at_;
    name.assign(text_.substr(name_start, at_ - name_start));
    if (!DocumentStore::IsXmlName(name) || !Take("=\"")) return false;
    value.clear();
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '"') {
        ++at_;
        return true;
      }
      if (c == '<') return false;
      if (c == '&') {
        if (!Entity(value)) return false;
        continue;
      }
      value += c;
      ++at_;
    }
    return false;
  }

 private:
  bool Entity(std::string& value) {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& [entity, character] : kNamed) {
      if (Take(entity)) {
        value += character;
        return true;
      }
    }
    // "&#xH;" or "&#xHH;", as control characters are printed.
    if (!Take("&#x")) return false;
    int code = 0;
    int digits = 0;
    while (digits < 2 && at_ < text_.size() && HexValue(text_[at_]) >= 0) {
      code = code * 16 + HexValue(text_[at_]);
      ++at_;
      ++digits;
    }
    if (digits == 0 || code == 0 || code >= 0x80 || !Take(";")) return false;
    value += static_cast<char>(code);
    return true;
  }

  std::string_view text_;
  std::size_t at_;
};

}  // namespace

bool ParseDocumentText(TiXmlDocument& document, const std::string& text) {
  document.Clear();
  document.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
  return !document.Error() && document.RootElement() != nullptr;
}

std::optional<PrintedSongs> ReadPrintedSongs(std::string_view text) {
  const std::size_t start = text.find(kFolderStart);
  if (start == std::string_view::npos) return std::nullopt;
  if (text.find(kFolderStart, start + 1) != std::string_view::npos) return std::nullopt;
  PrintedSongs songs;
  songs.begin = start + kFolderStart.size();
  Reader reader(text, songs.begin);
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
    if (!reader.Take("<file") || reader.AtEnd() || !IsSpace(text[reader.at()])) return std::nullopt;
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

namespace quillo::store {

bool ParseDataFileText(TiXmlDocument& document, const std::string& text,
                       std::vector<MusicRecord>& songs) {
  songs.clear();
  std::optional<PrintedSongs> printed = ReadPrintedSongs(text);
  if (printed && text.find(kPlaceholderName) == std::string::npos) {
    // Made in one piece: the songs are most of a large file, the rest is still megabytes.
    std::string rest;
    rest.reserve(text.size() - (printed->end - printed->begin) + kPlaceholderName.size() + 4);
    rest.append(text, 0, printed->begin).append("<").append(kPlaceholderName).append(" />");
    rest.append(text, printed->end);
    if (ParseDocumentText(document, rest) && !MigrationApplies(document)) {
      TiXmlElement* folder = MusicFolder(document);
      TiXmlNode* only = folder ? folder->FirstChild() : nullptr;
      if (only != nullptr && only->NextSibling() == nullptr && only->ToElement() != nullptr &&
          only->ValueStr() == kPlaceholderName) {
        folder->RemoveChild(only);
        songs = std::move(printed->records);
        return true;
      }
    }
  }
  return ParseDocumentText(document, text);
}

}  // namespace quillo::store
