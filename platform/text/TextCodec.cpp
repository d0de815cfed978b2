#include "platform/text/TextCodec.h"

#include <unicode/ucnv.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <memory>
#include <mutex>

namespace quillo::text {
namespace {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// ICU converters are not thread-safe, so each call opens its own (ICU caches the table data).
ConverterPtr OpenGbk() {
  UErrorCode status = U_ZERO_ERROR;
  ConverterPtr converter(ucnv_open("windows-936", &status));
  if (U_FAILURE(status)) converter.reset(ucnv_open("GBK", &status));
  return converter;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  ConverterPtr converter = OpenGbk();
  if (!converter) return SanitizeUtf8(gbk);
  UErrorCode status = U_ZERO_ERROR;
  icu::UnicodeString unicode(gbk.data(), static_cast<int32_t>(gbk.size()), converter.get(), status);
  if (U_FAILURE(status)) return SanitizeUtf8(gbk);
  std::string out;
  unicode.toUTF8String(out);
  return out;
}

std::string Utf8ToGbk(std::string_view utf8) {
  ConverterPtr converter = OpenGbk();
  if (!converter) return std::string(utf8);
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setSubstChars(converter.get(), "?", 1, &status);
  status = U_ZERO_ERROR;
  icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  int32_t needed = unicode.extract(nullptr, 0, converter.get(), status);
  status = U_ZERO_ERROR;
  std::string out(static_cast<std::size_t>(needed), '\0');
  unicode.extract(out.data(), needed, converter.get(), status);
  if (status != U_ZERO_ERROR && status != U_STRING_NOT_TERMINATED_WARNING) return {};
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  return std::u16string(reinterpret_cast<const char16_t*>(unicode.getBuffer()),
                        static_cast<std::size_t>(unicode.length()));
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  icu::UnicodeString unicode(reinterpret_cast<const UChar*>(utf16.data()),
                             static_cast<int32_t>(utf16.size()));
  std::string out;
  unicode.toUTF8String(out);  // unpaired surrogates become U+FFFD
  return out;
}

std::string Utf8ToUtf16LeBytes(std::string_view utf8) {
  std::u16string units = Utf8ToUtf16(utf8);
  std::string out;
  out.reserve(units.size() * 2);
  for (char16_t unit : units) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  return out;
}

namespace {
std::string Utf16BytesToUtf8(std::string_view bytes, bool little_endian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto lo = static_cast<unsigned char>(bytes[little_endian ? i : i + 1]);
    auto hi = static_cast<unsigned char>(bytes[little_endian ? i + 1 : i]);
    units.push_back(static_cast<char16_t>(lo | (hi << 8)));
  }
  return Utf16ToUtf8(units);
}
}  // namespace

std::string Utf16LeBytesToUtf8(std::string_view bytes) { return Utf16BytesToUtf8(bytes, true); }
std::string Utf16BeBytesToUtf8(std::string_view bytes) { return Utf16BytesToUtf8(bytes, false); }

void AppendUtf8(std::string& out, char32_t code) {
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool IsValidUtf8(std::string_view bytes) {
  const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
  int32_t length = static_cast<int32_t>(bytes.size());
  int32_t i = 0;
  while (i < length) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) return false;
  }
  return true;
}

std::string SanitizeUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
  int32_t length = static_cast<int32_t>(bytes.size());
  std::string out;
  out.reserve(bytes.size() + 8);
  int32_t i = 0;
  while (i < length) {
    int32_t start = i;
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) {
      out += "\xEF\xBF\xBD";
    } else {
      out.append(bytes.data() + start, static_cast<std::size_t>(i - start));
    }
  }
  return out;
}

}  // namespace quillo::text
