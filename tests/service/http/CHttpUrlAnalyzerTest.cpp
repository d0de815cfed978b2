#include "service/http/CHttpUrlAnalyzerT.h"

#include <gtest/gtest.h>

#include <random>

#include "service/http/httpclientexceptionW.h"

namespace Dravik {
namespace {

struct UrlCase {
  const char* url;
  const char* host;
  unsigned port;
  const char* object;
  bool secure;
};

TEST(CHttpUrlAnalyzerTest, SplitsSchemeHostPortAndObject) {
  const UrlCase cases[] = {
      {"http://example.com/a/b.php?x=1", "example.com", 80, "/a/b.php?x=1", false},
      {"https://example.com/s", "example.com", 443, "/s", true},
      {"HTTPS://example.com", "example.com", 443, "/", true},
      {"http://127.0.0.1:8080/api/x.php", "127.0.0.1", 8080, "/api/x.php", false},
      {"https://h:8443", "h", 8443, "/", true},
      {"http://h", "h", 80, "/", false},
      {"http://h?q=1&r=2", "h", 80, "/?q=1&r=2", false},
      {"ftp://h/x", "h", 80, "/x", false},
      {"http://[::1]:81/x", "::1", 81, "/x", false},
      {"http://h:65535/", "h", 65535, "/", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const CHttpUrlAnalyzerT url(c.url);
    EXPECT_EQ(url.Host(), c.host);
    EXPECT_EQ(url.Port(), c.port);
    EXPECT_EQ(url.Object(), c.object);
    EXPECT_EQ(url.Secure(), c.secure);
    EXPECT_EQ(url.RequestFlags(), c.secure ? 0x00800000u : 0u);
  }
}

TEST(CHttpUrlAnalyzerTest, RefusesBadHostsAndPorts) {
  const std::pair<const char*, int> cases[] = {
      {"http://h:99999/", 107}, {"http://h:123456/", 107}, {"http://h:8a/", 107},
      {"http://h:/", 107},      {"http://h:0/", 107},      {"http://h:65536", 107},
      {"http:///path", 103},    {"http://", 103},          {"no scheme here", 103},
      {"://h/", 103},           {"http://:80/", 103},      {"http://user@h/", 103},
      {"http://h h/", 103},     {"http://[::1/", 103},     {"http://a:b:80/", 103},
  };
  for (const auto& [url, code] : cases) {
    SCOPED_TRACE(url);
    try {
      CHttpUrlAnalyzerT analyzer(url);
      ADD_FAILURE() << "accepted";
    } catch (const httpclientexceptionW& e) {
      EXPECT_EQ(e.ErrorCode(), code);
      EXPECT_STREQ(e.what(), httpclientexceptionW::MessageOf(code));
    }
  }
}

// Random bytes and mutated URLs: never a crash; a result is always a usable target.
TEST(CHttpUrlAnalyzerTest, RandomInputIsRefusedOrSane) {
  std::mt19937 random(20261209);
  const std::string alphabet = "htps:/[]@?#%.:0123456789abHX \t\r\n\x01\xff";
  const std::string seeds[] = {"http://h:80/x?y", "https://[::1]:443/", "http://a.b/"};
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string url = seeds[round % 3];
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = url.empty() ? 0 : random() % (url.size() + 1);
      const char c = alphabet[random() % alphabet.size()];
      switch (random() % 3) {
        case 0:
          url.insert(url.begin() + static_cast<std::ptrdiff_t>(at), c);
          break;
        case 1:
          if (at < url.size()) url.erase(at, 1);
          break;
        default:
          if (at < url.size()) url[at] = c;
          break;
      }
    }
    try {
      const CHttpUrlAnalyzerT analyzer(url);
      ++accepted;
      EXPECT_FALSE(analyzer.Host().empty()) << url;
      EXPECT_GE(analyzer.Port(), 1u);
      EXPECT_LE(analyzer.Port(), 65535u);
      ASSERT_FALSE(analyzer.Object().empty());
      EXPECT_EQ(analyzer.Object().front(), '/') << url;
      for (char c : analyzer.Host()) {
        EXPECT_GT(static_cast<unsigned char>(c), ' ') << url;
        EXPECT_NE(c, '@');
      }
    } catch (const httpclientexceptionW& e) {
      EXPECT_TRUE(e.ErrorCode() == 103 || e.ErrorCode() == 107) << url;
    }
  }
  EXPECT_GT(accepted, 1000);
}

}  // namespace
}  // namespace Dravik
