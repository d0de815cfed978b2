#pragma once
#include <map>
#include <string>

namespace quillo::store {

// One song: attribute name → text, as the attributes of a `file` element.
using MusicRecord = std::map<std::string, std::string>;

}  // namespace quillo::store
