#pragma once
// Conversions between the program's UTF-8 text and the byte forms found outside it: GBK (code
// page 936, what older data files, ID3 byte strings and lyric files without a byte order mark
// use) and UTF-16 (little-endian byte layouts of phone files, ASF strings and the hand-over).
// Every function accepts any bytes: invalid sequences become U+FFFD, never an error or a crash.
#include <string>
#include <string_view>

namespace quillo::text {

std::string GbkToUtf8(std::string_view gbk);
// Characters GBK cannot represent become '?'.
std::string Utf8ToGbk(std::string_view utf8);

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// UTF-16LE as raw bytes (no byte order mark is written or expected; an odd last byte is dropped).
std::string Utf8ToUtf16LeBytes(std::string_view utf8);
std::string Utf16LeBytesToUtf8(std::string_view bytes);
std::string Utf16BeBytesToUtf8(std::string_view bytes);

// Appends one code point as UTF-8 (values above U+10FFFF and surrogates become U+FFFD).
void AppendUtf8(std::string& out, char32_t code);

// True when the bytes are well-formed UTF-8 (overlongs and surrogates rejected).
bool IsValidUtf8(std::string_view bytes);

// Makes the bytes well-formed UTF-8, replacing each bad sequence with U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

}  // namespace quillo::text
