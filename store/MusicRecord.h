#pragma once
#include <map>
#include <memory>
#include <string>

namespace quillo::store {

// One song: attribute name → text, as the attributes of a `file` element.
using MusicRecord = std::map<std::string, std::string>;
// A record shared without copying (the song cache hands these out; they never change).
using MusicRecordPtr = std::shared_ptr<const MusicRecord>;

// The record's "id" attribute, or an empty text.
inline const std::string& IdOf(const MusicRecord& record) {
  static const std::string kEmpty;
  auto it = record.find("id");
  return it == record.end() ? kEmpty : it->second;
}
inline const std::string& IdOf(const MusicRecordPtr& record) { return IdOf(*record); }

}  // namespace quillo::store
