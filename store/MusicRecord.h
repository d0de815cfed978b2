#pragma once
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace quillo::store {

// One song: attribute name → text, as the attributes of a `file` element.
using MusicRecord = std::map<std::string, std::string>;
// A record shared without copying (the song cache hands these out; they never change).
using MusicRecordPtr = std::shared_ptr<const MusicRecord>;

// The search keys the library derives from "name" and "artist_name" (pinyin initials); they
// are never stored.
inline constexpr std::string_view kSearchNameKey = "_name";
inline constexpr std::string_view kSearchArtistKey = "_artist_name";

// Whether a song's element carries the attribute after its "id" (search keys are not stored).
inline bool IsStoredAfterId(std::string_view attribute) {
  return attribute != "id" && attribute != kSearchNameKey && attribute != kSearchArtistKey;
}

// The record's "id" attribute, or an empty text.
inline const std::string& IdOf(const MusicRecord& record) {
  static const std::string kEmpty;
  auto it = record.find("id");
  return it == record.end() ? kEmpty : it->second;
}
inline const std::string& IdOf(const MusicRecordPtr& record) { return IdOf(*record); }

}  // namespace quillo::store
