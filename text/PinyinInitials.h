#pragma once
// The pinyin initials of a text, character by character: an ideograph U+4E00 … U+9FA5 becomes
// the lower-case initial of its Mandarin reading, full-width digits and letters their ASCII
// form (letters in lower case), ASCII capitals small letters; every other character stays.
// The result has as many characters as the text ("周杰伦" → "zjl").
//
// Pure function of its argument; any thread. Ill-formed UTF-8 bytes are kept as they are.
#include <string>
#include <string_view>

namespace quillo::text {

std::string PinyinInitials(std::string_view utf8);

// The initial of one character (the rule above for a single code point).
char32_t PinyinInitial(char32_t code);

}  // namespace quillo::text
