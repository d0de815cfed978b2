#include "platform/text/CaseMapping.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "platform/text/TextUtil.h"

namespace quillo::text {

std::string ToLowerUnicode(std::string_view utf8) {
  // Most filter texts are ASCII: no conversion needed for them.
  if (IsAscii(utf8)) return ToLowerAscii(utf8);
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  text.toLower(icu::Locale::getRoot());
  std::string out;
  text.toUTF8String(out);
  return out;
}

}  // namespace quillo::text
