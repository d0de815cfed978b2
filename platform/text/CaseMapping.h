#pragma once
// Unicode case mapping of UTF-8 text (the root locale's rules, through ICU). Pure; any thread.
#include <string>
#include <string_view>

namespace quillo::text {

// The text in lower case: every letter with a lower-case form, not only ASCII ("ÀB" → "àb",
// "ＡＢ" → "ａｂ"). Ill-formed bytes become U+FFFD.
std::string ToLowerUnicode(std::string_view utf8);

}  // namespace quillo::text
