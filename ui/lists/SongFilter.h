#pragma once
// The matching rules of the search box. Pure functions; any thread.
#include <string>
#include <string_view>

#include "store/MusicRecord.h"

namespace quillo::ui::lists {

// The text as the filter uses it: white space trimmed at both ends, then lower-cased.
std::string NormalizeFilterText(std::string_view text);

// A record matches when the (normalised) filter occurs, as an exact case-sensitive substring,
// in "name", "artist_name", "_name" or "_artist_name". An empty filter matches everything.
bool RecordMatchesFilter(const store::MusicRecord& record, std::string_view filter);

// A group name matches when the filter occurs in the name or in its pinyin initials.
bool GroupMatchesFilter(std::string_view group_name, std::string_view filter);

}  // namespace quillo::ui::lists
