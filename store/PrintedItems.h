#pragma once
// Reads the items of the data file's playlists straight from its text when they have the
// layout this program prints, so that opening a large library builds no XML element for each
// of its lists' items (a list of 100,000 songs is some 30 MB of elements and a tenth of a
// second to build; as ids it is 3 MB).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::store {

struct PrintedItems {
  // The list's content, text[begin, end): cut out before the rest is parsed as XML.
  std::size_t begin = 0;
  std::size_t end = 0;
  // The items' ids in order, entities decoded; a list may name a song twice.
  std::vector<std::string> ids;
};

// Every `<playlist …>` starting in text[from, to) whose content up to its `</playlist>` is
// white space and one or more `<item id="…" />` as they are printed: self-closing, the id the
// only attribute, in double quotes, using only the entities the printer writes. Other lists
// (empty, items with more attributes, anything else inside) are left to the XML parser, which
// also decides whether what was found is a list at all.
std::vector<PrintedItems> ReadPrintedItems(std::string_view text, std::size_t from, std::size_t to);

}  // namespace quillo::store
