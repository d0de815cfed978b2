#include "store/PrintedItems.h"

#include <algorithm>
#include <optional>

#include "store/PrintedTextReader.h"

namespace quillo::store {
namespace {

constexpr std::string_view kListStart = "<playlist";
constexpr std::string_view kListEnd = "</playlist>";
constexpr std::string_view kItemStart = "<item";

// The list whose content starts at `content`, when it is printed items only.
std::optional<PrintedItems> ReadList(std::string_view text, std::size_t content) {
  PrintedItems list;
  list.begin = content;
  PrintedTextReader reader(text, content);
  std::string name;
  std::string id;
  while (true) {
    reader.SkipSpace();
    if (reader.AtEnd()) return std::nullopt;
    const std::size_t at = reader.at();
    if (reader.Take(kListEnd)) {
      list.end = at;
      break;
    }
    if (!reader.Take(kItemStart) || !reader.AtSpace()) return std::nullopt;
    reader.SkipSpace();
    if (!reader.Attribute(name, id) || name != "id") return std::nullopt;
    reader.SkipSpace();
    if (!reader.Take("/>")) return std::nullopt;
    list.ids.push_back(id);
  }
  if (list.ids.empty()) return std::nullopt;
  return list;
}

}  // namespace

std::vector<PrintedItems> ReadPrintedItems(std::string_view text, std::size_t from, std::size_t to) {
  std::vector<PrintedItems> lists;
  to = std::min(to, text.size());
  for (std::size_t at = text.find(kListStart, from); at < to; at = text.find(kListStart, at)) {
    at += kListStart.size();
    if (at >= text.size() || !(PrintedTextReader::IsSpace(text[at]) || text[at] == '>')) continue;
    const std::size_t tag_end = text.find('>', at);
    if (tag_end == std::string_view::npos) break;
    at = tag_end + 1;
    if (text[tag_end - 1] == '/') continue;  // an empty list
    if (std::optional<PrintedItems> list = ReadList(text, at)) {
      at = list->end;
      lists.push_back(std::move(*list));
    }
  }
  return lists;
}

}  // namespace quillo::store
