#include "service/http/CHttpEncoderW.h"

#include <gtest/gtest.h>

#include <limits>

#include "service/http/CheckedLength.h"
#include "service/http/httpclientexceptionW.h"

namespace Dravik {
namespace {

struct EncodeCase {
  std::string text;
  bool use_utf8;
  bool encoded;
  std::string expected;  // empty with an error code
  int error = 0;
};

TEST(CHttpEncoderTest, EncodesWholeCharactersOrRefuses) {
  const EncodeCase cases[] = {
      {"a b/\xC3\xBC", true, false, "a+b%2F%C3%BC"},
      {"AZaz09-_.~*&=", true, false, "AZaz09%2D%5F%2E%7E%2A%26%3D"},
      {"\xE4\xB8\xAD", true, false, "%E4%B8%AD"},
      {"\xE4\xB8\xAD", false, false, "%D6%D0"},           // GBK
      {"\xF0\x9F\x98\x80", true, false, "%F0%9F%98%80"},  // outside the BMP: its 4 UTF-8 bytes
      {"\xF0\x9F\x98\x80", false, false, "", 600},        // GBK cannot hold it
      {"\xED\x95\x9C", false, false, "", 600},            // nor a Hangul syllable
      {"x\xFFy", true, false, "", 110},
      {"\xED\xA0\xBD\xED\xB8\x80", true, false, "", 110},  // a surrogate pair as two halves
      {"\xC0\xAF", true, false, "", 110},                  // overlong '/'
      {"a%2Fb+c", true, true, "a%2Fb+c"},
      {"a%2", true, true, "", 109},
      {"a&b=c", true, true, "", 109},
      {"a%zz", true, true, "", 109},
      {"", true, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      EXPECT_EQ(CHttpEncoderW::Encode(c.text, c.use_utf8, c.encoded), c.expected);
      EXPECT_EQ(CHttpEncoderW::EncodedLength(c.text, c.use_utf8, c.encoded), c.expected.size());
      EXPECT_EQ(c.error, 0);
    } catch (const httpclientexceptionW& e) {
      EXPECT_EQ(e.ErrorCode(), c.error);
    }
    if (c.error != 0) {
      EXPECT_THROW(CHttpEncoderW::EncodedLength(c.text, c.use_utf8, c.encoded),
                   httpclientexceptionW);
    }
  }
}

TEST(CHttpEncoderTest, LengthArithmeticOverflowIsAnError) {
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  EXPECT_EQ(CheckedAdd(kMax - 1, 1), kMax);
  EXPECT_EQ(CheckedMul(kMax / 3, 3), kMax / 3 * 3);
  for (const auto& overflow : {+[] { CheckedAdd(kMax, 1); }, +[] { CheckedMul(kMax / 2, 3); }}) {
    try {
      overflow();
      ADD_FAILURE();
    } catch (const httpclientexceptionW& e) {
      EXPECT_EQ(e.ErrorCode(), 112);
      EXPECT_STREQ(e.what(), "An arithmetic overflow error has been occurred.");
    }
  }
}

}  // namespace
}  // namespace Dravik
