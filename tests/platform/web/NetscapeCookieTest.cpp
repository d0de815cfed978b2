#include "platform/web/NetscapeCookie.h"

#include <gtest/gtest.h>

namespace quillo::web {
namespace {

TEST(NetscapeCookieTest, ReadsTheLinesCurlWrites) {
  auto c = NetscapeCookie::Parse(".example.com\tTRUE\t/music\tTRUE\t1893456000\tsid\ta=b c\n");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->domain, ".example.com");
  EXPECT_TRUE(c->include_subdomains);
  EXPECT_EQ(c->path, "/music");
  EXPECT_TRUE(c->secure);
  EXPECT_FALSE(c->http_only);
  EXPECT_EQ(c->expires, 1893456000);
  EXPECT_EQ(c->name, "sid");
  EXPECT_EQ(c->value, "a=b c");

  auto http_only = NetscapeCookie::Parse("#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\t0\tk\tv");
  ASSERT_TRUE(http_only);
  EXPECT_TRUE(http_only->http_only);
  EXPECT_EQ(http_only->domain, "127.0.0.1");
  EXPECT_EQ(http_only->expires, 0);

  // An empty value, with or without its last tab.
  auto empty = NetscapeCookie::Parse("h\tFALSE\t/\tFALSE\t0\tk\t");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->value, "");
  auto short_line = NetscapeCookie::Parse("h\tFALSE\t/\tFALSE\t0\tk");
  ASSERT_TRUE(short_line);
  EXPECT_EQ(short_line->value, "");
}

TEST(NetscapeCookieTest, SkipsWhatIsNoCookie) {
  for (const char* line :
       {"", "# Netscape HTTP Cookie File", "#comment\tFALSE\t/\tFALSE\t0\tk\tv",
        "h\tMAYBE\t/\tFALSE\t0\tk\tv", "h\tFALSE\t/\tFALSE\t-1\tk\tv",
        "h\tFALSE\t/\tFALSE\t12x\tk\tv", "h\tFALSE\t/\tFALSE\t0\t\tv", "\tFALSE\t/\tFALSE\t0\tk\tv",
        "h\tFALSE\t/\tFALSE\t0\tk\tv\textra", "h FALSE / FALSE 0 k v"}) {
    EXPECT_FALSE(NetscapeCookie::Parse(line)) << line;
  }
}

TEST(NetscapeCookieTest, FormatIsWhatParseReads) {
  for (const char* line : {"#HttpOnly_.a.example\tTRUE\t/x\tTRUE\t42\tname\tvalue with spaces",
                           "127.0.0.1\tFALSE\t/\tFALSE\t0\tsid\t"}) {
    auto c = NetscapeCookie::Parse(line);
    ASSERT_TRUE(c) << line;
    EXPECT_EQ(c->Format(), line);
  }
}

}  // namespace
}  // namespace quillo::web
