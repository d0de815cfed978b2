#pragma once
// Reads the library's songs straight from a data file's text when the file has the layout this
// program prints, so that opening a large library builds no XML elements for them (half the
// time of an open, and no second copy of the library in memory while it opens).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/MusicRecord.h"

namespace quillo::store {

struct PrintedSongs {
  // The folder's content, text[begin, end): cut out before the rest is parsed as XML.
  std::size_t begin = 0;
  std::size_t end = 0;
  std::vector<MusicRecord> records;
};

// The songs of the one `<folder name="music">` of the text, when everything between its start
// and end tags is white space and `file` elements as they are printed: self-closing, attributes
// with XML names in double quotes, no name twice, an "id" in each and no id twice, values using
// only the entities the printer writes. Anything else, and a second such start tag, answers no
// value: the XML parser then reads the whole text, as it reads any other file.
std::optional<PrintedSongs> ReadPrintedSongs(std::string_view text);

}  // namespace quillo::store
