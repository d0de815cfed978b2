#pragma once
// URL encoding of form parameters and conversion of the program's UTF-8 text to the bytes that
// are sent: UTF-8 itself, or the ANSI code page (GBK, 936). Encoding works on whole characters:
// a character outside the Basic Multilingual Plane is its four UTF-8 bytes, each escaped.
//
// Each byte of the converted text is sent as itself for 'A'-'Z', 'a'-'z', '0'-'9', as '+' for
// a space, and as '%' with two upper-case hex digits otherwise. Throws httpclientexceptionW:
// 110 for text that is not well-formed UTF-8, 600 for a character GBK cannot hold, 109 for
// "already encoded" text that is not (a bare '%', or a byte that encoding would have escaped
// other than '%', '+' and unreserved marks).
#include <cstdint>
#include <string>
#include <string_view>

namespace Dravik {

class CHttpEncoderW {
 public:
  // The text in the sent form: UTF-8 when use_utf8, else GBK.
  static std::string Convert(std::string_view utf8, bool use_utf8);
  // The bytes escaped as above, whatever they are (no conversion, no check).
  static std::string EscapeBytes(std::string_view bytes);
  // The text as it goes into a query or form body; already_encoded text is only converted.
  static std::string Encode(std::string_view utf8, bool use_utf8, bool already_encoded);
  // The length of Encode's result, computed without building it (overflow-checked).
  static std::uint64_t EncodedLength(std::string_view utf8, bool use_utf8, bool already_encoded);
};

}  // namespace Dravik
