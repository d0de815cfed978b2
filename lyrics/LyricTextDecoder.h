#pragma once
// Turns the bytes of an LRC file into UTF-8 text.
//
// A byte order mark decides: FF FE is UTF-16 little-endian, FE FF UTF-16 big-endian, EF BB BF
// UTF-8. Without one, trailing zero bytes are dropped and the bytes are read both as UTF-8 and
// as GBK; GBK wins when more of the display title's characters occur in its reading. On a tie
// GBK wins only when the bytes are not well-formed UTF-8 (a GBK file read as UTF-8 would show
// nothing but replacement characters). The result is always well-formed UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

namespace quillo::lyrics {

std::string DecodeLyricText(std::string_view bytes, std::string_view display_title);

// How many of the title's characters (counted with repetition) occur somewhere in the text.
// Linear in the text's length.
std::size_t TitleCharactersFound(std::string_view title, std::string_view text);

}  // namespace quillo::lyrics
