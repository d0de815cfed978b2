#pragma once
// Small text rules shared by every subsystem. Pure functions; no locale is consulted.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::text {

// Removes ASCII white space (space, tab, CR, LF, VT, FF) at both ends.
std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);

// The leading-number rule of stored integers: leading white space and one sign are accepted,
// reading stops at the first non-digit. No leading digits gives no value. Values beyond the
// range of int saturate at its limits instead of wrapping.
std::optional<int> LeadingNumber(std::string_view text);
// The same rule, where a text without leading digits reads as 0.
int LeadingInt(std::string_view text);

bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
std::string ToLowerAscii(std::string_view text);
// The value of one hexadecimal digit (either case), or -1 for any other character.
int HexDigitValue(char c);
bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b);

// Number of Unicode code points in well-formed UTF-8 (a bad byte counts as one).
std::size_t CodePointCount(std::string_view utf8);

// True when every byte is below 0x80.
bool IsAscii(std::string_view text);

// The text with its control characters in a visible form, for showing text from outside on a
// terminal, where they would be taken as commands: C0 and DEL as "\x1b", C1 (U+0080-U+009F) as
// "\u009b", and each byte that is not part of well-formed UTF-8 as "\xff". Other characters
// stay as they are; with keep_layout, so do tabs and line feeds.
std::string EscapeControls(std::string_view text, bool keep_layout = false);

}  // namespace quillo::text
