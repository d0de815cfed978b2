#pragma once
// The service's list document: a root of any name with `pid` (list id) and `pname` (list name)
// and one child per song, each carrying `music_id`. Pure parsing; no lock, any thread.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/MusicRecord.h"

class TiXmlElement;

namespace quillo::store {

struct ListDocument {
  std::string list_id;
  std::string list_name;
  std::vector<MusicRecord> records;
};

// No value when the text does not parse, has no root, or a song lacks `music_id`. The records
// carry the mapped attributes (present and non-empty ones only) and the search keys.
std::optional<ListDocument> ParseListDocument(std::string_view text);

// One service song element as a record: music_id → id, music_name → name, album_id, album_name,
// album_seq, artist_id, artist_name; attributes absent or empty are left out. No search keys.
MusicRecord ServiceSongRecord(const TiXmlElement& song);

// The service attribute names with their record attribute names, in the mapping's order.
struct ServiceAttribute {
  const char* service;
  const char* record;
};
extern const ServiceAttribute kServiceAttributes[7];

}  // namespace quillo::store
