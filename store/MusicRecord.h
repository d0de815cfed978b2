#pragma once
#include <map>
#include <memory>
#include <string>

namespace quillo::store {

// One song: attribute name → text, as the attributes of a `file` element.
using MusicRecord = std::map<std::string, std::string>;
// A record shared without copying (the song cache hands these out; they never change).
using MusicRecordPtr = std::shared_ptr<const MusicRecord>;

}  // namespace quillo::store
