// Answer documents with bytes that are not UTF-8. TinyXML's UTF-8 mode steps over a whole
// multi-byte sequence from its lead byte, so a cut-short sequence made it swallow the quote that
// followed (the answer was refused or its attributes ran together) or, at the end of the text,
// walk past the terminating NUL (the fuzz target's sanitizer report). The answers are made
// well-formed before parsing; the bad bytes become U+FFFD.
#include <gtest/gtest.h>

#include "LibraryFixture.h"
#include "platform/text/TextCodec.h"
#include "store/ListDocument.h"
#include "store/Playlists.h"

namespace quillo::store {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(ServiceXmlTest, LeadByteBeforeAQuoteKeepsTheQuote) {
  // A GBK byte at the end of a value, as a service answering in the wrong encoding sends it.
  auto list = ParseListDocument(
      "<r pname='\xE6'><a music_id='1' music_name='\xD6'/><a music_id='2' artist_name='x\xF0'/></r>");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->list_name, kReplacement);
  ASSERT_EQ(list->records.size(), 2u);
  EXPECT_EQ(list->records[0].at("name"), kReplacement);
  EXPECT_EQ(list->records[1].at("id"), "2");
  EXPECT_EQ(list->records[1].at("artist_name"), "x" + kReplacement);
}

TEST(ServiceXmlTest, LeadByteAtTheEndIsRefusedWithoutReadingPastIt) {
  // The list answer the fuzz target found (up to its NUL): an unclosed value ending in lead bytes.
  const std::string found = std::string("<list pid='f\x1d&lbuem1_s123456789abcdef") +
                            std::string(10, '\xEA') + "\x01" + std::string("\0\0\0\xF4", 4);
  EXPECT_FALSE(ParseListDocument(found));
  EXPECT_FALSE(ParseListDocument("<r><a music_id='1'/></r><a b='\xE6"));
  auto whole = ParseListDocument("<r><a music_id='1'>\xE6</a></r>");
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->records.size(), 1u);
}

class ServiceXmlLoginTest : public quillo::testing::LibraryFixture {};

TEST_F(ServiceXmlLoginTest, LoginAnswerWithAGbkNameIsTaken) {
  // "王菲" in GBK: its last byte is a UTF-8 lead byte, and the quote after it was swallowed.
  const std::string gbk_name = "\xCD\xF5\xB7\xC6";
  const std::string answer =
      "<answer><user id='u1' username='" + gbk_name + "' contextKey='key'/>"
      "<folders><folder name='music'><s music_id='1' music_name='\xE6'/></folder></folders>"
      "<playlists/></answer>";
  LoginAnswerResult result = answers().TakeLoginAnswer(answer);
  ASSERT_TRUE(result.ok) << result.error;
  const UserInfo user = lists().CurrentUserInfo();
  EXPECT_EQ(user.id, "u1");
  EXPECT_EQ(user.context_key, "key");
  EXPECT_EQ(user.username, text::SanitizeUtf8(gbk_name));
  auto song = library().FindMusic("1");
  ASSERT_TRUE(song);
  EXPECT_EQ(song->at("name"), kReplacement);
}

}  // namespace
}  // namespace quillo::store
