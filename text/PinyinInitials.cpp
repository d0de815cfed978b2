#include "text/PinyinInitials.h"

#include "platform/text/TextCodec.h"
#include "text/PinyinInitialsTable.h"

namespace quillo::text {
namespace {

// Length of the well-formed UTF-8 sequence at `at` and its code point; 0 when ill-formed.
std::size_t DecodeAt(std::string_view text, std::size_t at, char32_t& code) {
  unsigned char lead = static_cast<unsigned char>(text[at]);
  std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  code = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
  for (std::size_t i = 1; i < length; ++i) {
    unsigned char next = static_cast<unsigned char>(text[at + i]);
    if ((next >> 6) != 0x2) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  return length;
}

}  // namespace

char32_t PinyinInitial(char32_t code) {
  if (code >= kPinyinFirstIdeograph && code <= kPinyinLastIdeograph) {
    std::size_t index = code - kPinyinFirstIdeograph;
    return static_cast<unsigned char>(
        kPinyinInitialRows[index / kPinyinInitialRowLetters][index % kPinyinInitialRowLetters]);
  }
  if (code >= 0xFF10 && code <= 0xFF19) return code - 0xFEE0;  // full-width digits
  if (code >= 0xFF21 && code <= 0xFF3A) return code - 0xFEC0;  // full-width capitals
  if (code >= 0xFF41 && code <= 0xFF5A) return code - 0xFEE0;  // full-width small letters
  if (code >= 'A' && code <= 'Z') return code - 'A' + 'a';
  return code;
}

std::string PinyinInitials(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    char32_t code = 0;
    std::size_t length = DecodeAt(utf8, at, code);
    if (length == 0) {
      out.push_back(utf8[at]);
      ++at;
      continue;
    }
    text::AppendUtf8(out, PinyinInitial(code));
    at += length;
  }
  return out;
}

}  // namespace quillo::text
