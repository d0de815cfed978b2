#include "ui/lists/SongFilter.h"

#include "platform/text/CaseMapping.h"
#include "platform/text/TextUtil.h"
#include "ui/filter/PinyinInitials.h"

namespace quillo::ui::lists {
namespace {

bool AttributeContains(const store::MusicRecord& record, const char* name,
                       std::string_view filter) {
  auto it = record.find(name);
  return it != record.end() && it->second.find(filter) != std::string::npos;
}

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000

// ASCII white space and the ideographic space, which a Chinese input method types.
std::string_view TrimBlanks(std::string_view text) {
  for (;;) {
    std::string_view before = text;
    text = text::TrimView(text);
    while (text.starts_with(kIdeographicSpace)) text.remove_prefix(kIdeographicSpace.size());
    while (text.ends_with(kIdeographicSpace)) text.remove_suffix(kIdeographicSpace.size());
    if (text.size() == before.size()) return text;
  }
}

}  // namespace

std::string NormalizeFilterText(std::string_view text) {
  return text::ToLowerUnicode(TrimBlanks(text));
}

bool RecordMatchesFilter(const store::MusicRecord& record, std::string_view filter) {
  if (filter.empty()) return true;
  return AttributeContains(record, "name", filter) ||
         AttributeContains(record, "artist_name", filter) ||
         AttributeContains(record, "_name", filter) ||
         AttributeContains(record, "_artist_name", filter);
}

bool GroupMatchesFilter(std::string_view group_name, std::string_view filter) {
  if (filter.empty()) return true;
  if (group_name.find(filter) != std::string_view::npos) return true;
  return PinyinInitials(group_name).find(filter) != std::string::npos;
}

}  // namespace quillo::ui::lists
