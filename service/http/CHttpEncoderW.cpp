#include "service/http/CHttpEncoderW.h"

#include <cstring>

#include "platform/text/TextCodec.h"
#include "service/http/CheckedLength.h"
#include "service/http/httpclientexceptionW.h"

namespace Dravik {
namespace {

bool IsPlain(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= '0' && byte <= '9');
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

void CheckEncoded(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size() || !IsHex(text[i + 1]) || !IsHex(text[i + 2])) {
        throw httpclientexceptionW(kInvalidEncodedUrl);
      }
      i += 2;
    } else if (!IsPlain(static_cast<unsigned char>(c)) && std::strchr("+-_.~*", c) == nullptr) {
      throw httpclientexceptionW(kInvalidEncodedUrl);
    }
  }
}

}  // namespace

std::string CHttpEncoderW::Convert(std::string_view utf8, bool use_utf8) {
  if (!quillo::text::IsValidUtf8(utf8)) throw httpclientexceptionW(kInvalidUtf8);
  if (use_utf8) return std::string(utf8);
  std::string gbk = quillo::text::Utf8ToGbk(utf8);
  // The codec puts '?' for what GBK cannot hold: only an exact round trip is a conversion.
  if (quillo::text::GbkToUtf8(gbk) != utf8) throw httpclientexceptionW(kToMultiByteFailed);
  return gbk;
}

std::string CHttpEncoderW::Encode(std::string_view utf8, bool use_utf8, bool already_encoded) {
  std::string bytes = Convert(utf8, use_utf8);
  if (already_encoded) {
    CheckEncoded(bytes);
    return bytes;
  }
  return EscapeBytes(bytes);
}

std::string CHttpEncoderW::EscapeBytes(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsPlain(byte)) {
      encoded += c;
    } else if (c == ' ') {
      encoded += '+';
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

std::uint64_t CHttpEncoderW::EncodedLength(std::string_view utf8, bool use_utf8,
                                           bool already_encoded) {
  // UTF-8 text is measured in place: a long value is not copied just to count it.
  std::string converted;
  std::string_view bytes = utf8;
  if (!use_utf8) {
    converted = Convert(utf8, false);
    bytes = converted;
  } else if (!quillo::text::IsValidUtf8(utf8)) {
    throw httpclientexceptionW(kInvalidUtf8);
  }
  if (already_encoded) {
    CheckEncoded(bytes);
    return bytes.size();
  }
  std::uint64_t length = 0;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    length = CheckedAdd(length, IsPlain(byte) || c == ' ' ? 1 : 3);
  }
  return length;
}

}  // namespace Dravik
