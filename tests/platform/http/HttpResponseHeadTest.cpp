// The answer head as curl hands it over, line by line, whatever the peer sends.
#include "platform/http/HttpResponseHead.h"

#include <gtest/gtest.h>

namespace quillo::http {
namespace {

using Line = HttpResponseHead::Line;

TEST(HttpResponseHeadTest, StatusFieldsAndTheEnd) {
  HttpResponseHead head;
  EXPECT_EQ(head.Take("HTTP/1.1 206 Partial Content\r\n"), Line::kStatus);
  EXPECT_EQ(head.Take("Content-Range:  bytes 0-9/100 \r\n"), Line::kField);
  EXPECT_EQ(head.Take("X-Long: a\r\n"), Line::kField);
  EXPECT_EQ(head.Take("  b\r\n"), Line::kField);
  EXPECT_EQ(head.Take("\tc\n"), Line::kField);
  EXPECT_EQ(head.Take("content-range: second\r\n"), Line::kField);
  EXPECT_EQ(head.Take("no colon\r\n"), Line::kIgnored);
  EXPECT_EQ(head.Take("\r\n"), Line::kEnd);
  EXPECT_EQ(head.status(), 206u);
  EXPECT_EQ(head.Header("CONTENT-RANGE", 0), "bytes 0-9/100");
  EXPECT_EQ(head.Header("Content-Range", 1), "second");
  EXPECT_EQ(head.Header("Content-Range", 2), std::nullopt);
  EXPECT_EQ(head.Header("x-long", 0), "a b c");
  EXPECT_FALSE(head.cookies_changed());
}

TEST(HttpResponseHeadTest, EachAnswerStartsOverButCookiesAreRemembered) {
  HttpResponseHead head;
  head.Take("HTTP/1.1 302 Found\r\n");
  head.Take("Set-Cookie: a=b\r\n");
  head.Take("Location: /next\r\n");
  EXPECT_EQ(head.Take("\r\n"), Line::kEnd);
  EXPECT_EQ(head.status(), 302u);
  head.Take("HTTP/1.1 100 Continue\r\n");
  EXPECT_EQ(head.status(), 100u);
  EXPECT_EQ(head.Header("Location", 0), std::nullopt);
  EXPECT_TRUE(head.cookies_changed());
  // A continuation line before any field of the answer is not a field.
  EXPECT_EQ(head.Take(" orphan\r\n"), Line::kIgnored);
  EXPECT_TRUE(head.fields().empty());
}

TEST(HttpResponseHeadTest, UnusableStatusCodesAreZero) {
  for (const char* line : {"HTTP/1.1 99 Low\r\n", "HTTP/1.1 1000 High\r\n", "HTTP/1.1\r\n",
                           "HTTP/1.1 abc\r\n", "HTTP/1.1 99999999999999999999 Huge\r\n"}) {
    HttpResponseHead head;
    head.Take("HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(head.Take(line), Line::kStatus) << line;
    EXPECT_EQ(head.status(), 0u) << line;
  }
  HttpResponseHead head;
  head.Take("HTTP/2 404\r\n");
  EXPECT_EQ(head.status(), 404u);
}

}  // namespace
}  // namespace quillo::http
