// The cookie lines that cross between the program's curl store and the embedded browser.
#include "platform/http/CurlCookieShare.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/fs/FileSystem.h"
#include "platform/http/CurlHttpTransport.h"
#include "support/TempFolder.h"

namespace quillo::http {
namespace {

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(CurlCookieShareTest, ImportedLinesComeBackAndReachTheJar) {
  testing::TempFolder folder;
  const std::string jar = folder / "cookies.txt";
  const std::string session = "127.0.0.1\tFALSE\t/\tFALSE\t0\tsid\tfrom-page";
  const std::string lasting = "#HttpOnly_.example.com\tTRUE\t/music\tTRUE\t4102444800\tk\tv w";
  const std::string expired = "127.0.0.1\tFALSE\t/\tFALSE\t1\told\tgone";
  {
    CurlCookieShare share(jar, false);
    share.ImportLines({session, lasting, expired, "not a cookie", "ALL", "FLUSH"});
    const auto lines = share.ExportLines();
    EXPECT_TRUE(Has(lines, session)) << ::testing::PrintToString(lines);
    EXPECT_TRUE(Has(lines, lasting)) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines.size(), 2u) << ::testing::PrintToString(lines);

    // A page's new value for a cookie replaces the old one.
    share.ImportLines({"127.0.0.1\tFALSE\t/\tFALSE\t0\tsid\tsecond"});
    const auto replaced = share.ExportLines();
    EXPECT_TRUE(Has(replaced, "127.0.0.1\tFALSE\t/\tFALSE\t0\tsid\tsecond"));
    EXPECT_FALSE(Has(replaced, session));
  }
  // Written at once: a new run continuing the session reads both back.
  const std::string text = fs::ReadWholeFile(jar).value_or("");
  EXPECT_NE(text.find("\tsid\tsecond"), std::string::npos) << text;
  CurlCookieShare again(jar, true);
  EXPECT_EQ(again.ExportLines().size(), 2u);
  // A new browsing session leaves the session cookie behind.
  CurlCookieShare fresh(jar, false);
  EXPECT_EQ(fresh.ExportLines(), (std::vector<std::string>{lasting}));
}

TEST(CurlCookieShareTest, TransportOffersTheSameStore) {
  CurlHttpTransport transport("");
  EXPECT_TRUE(transport.ExportCookieLines().empty());
  transport.ImportCookieLines({"h.example\tFALSE\t/\tFALSE\t0\tuser\t42"});
  EXPECT_EQ(transport.ExportCookieLines(),
            (std::vector<std::string>{"h.example\tFALSE\t/\tFALSE\t0\tuser\t42"}));
}

}  // namespace
}  // namespace quillo::http
