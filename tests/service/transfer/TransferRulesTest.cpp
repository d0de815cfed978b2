#include "service/transfer/TransferRules.h"

#include <gtest/gtest.h>

#include <random>

#include "RecordingCallback.h"
#include "service/transfer/AnswerDescrambler.h"

namespace quillo::service {
namespace {

TEST(TransferRulesTest, UrlExtension) {
  const struct {
    const char* url;
    const char* extension;
  } cases[] = {
      {"http://h/a/b.MP3", ".mp3"},
      {"http://h/a.b/c", ""},
      {"http://h/a/b", ""},
      {"http://h/song.wma#frag", ".wma"},
      {"http://h/get.php?file=x.mp3", ".mp3"},
      {"http://h/x.mp3?y.txt", ".mp3"},
      {"http://h/x.wmv?y.txt", ".wmv"},
      {"http://h/x.php?y.txt", ".txt"},
      {"http://h/x.php?a=b/c", ""},
      {"http://h/x.php?a.b/c", ""},
      {"http://h/a..", "."},
      {"http://h/a.x/..", "."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UrlExtension(c.url), c.extension) << c.url;
}

// The target's folder never changes, whatever the URL makes of the extension.
TEST(TransferRulesTest, ReextendTargetStaysInItsFolder) {
  const struct {
    const char* target;
    const char* extension;
    const char* result;
  } cases[] = {
      {"/d/song.part", ".mp3", "/d/song.mp3"},
      {"/d/song", ".mp3", "/d/song.mp3"},
      {"/d.x/song", ".wma", "/d.x/song.wma"},
      {"/d/song.part", "", "/d/song.part"},  // the URL names no extension: the target's stays
      {"/d/9.playpart", "", "/d/9.playpart"},
      {"/d/.part", "", "/d/.part"},  // would name the folder itself
      {"/d/x.part", ".", "/d/x."},
      {"/d/.part", ".", "/d/.part"},    // "." is the folder
      {"/d/..part", ".", "/d/..part"},  // ".." is the parent
      {"/d/song.part", "./../x", "/d/song.part"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReextendTarget(c.target, c.extension), c.result) << c.target << " " << c.extension;
  }
  EXPECT_EQ(ReextendTarget("/d/song.part", std::string_view(".a\0/", 4)), "/d/song.part");
  EXPECT_EQ(ReextendTarget("/d/song.part", std::string_view(".a\0b", 4)), "/d/song.part");
}

TEST(TransferRulesTest, Qlfss1Entries) {
  EXPECT_TRUE(IsQlfss1Url("qlfss1://h/a.1"));
  EXPECT_TRUE(IsQlfss1Url("QLFSS1://h/a.2"));
  EXPECT_FALSE(IsQlfss1Url("qlfss1://h/a.3"));
  EXPECT_FALSE(IsQlfss1Url("qlfss2://h/a.1"));
  EXPECT_FALSE(IsQlfss1Url("qlfss1:/h/a.1"));
  EXPECT_FALSE(IsQlfss1Url("qlfss1://"));
  EXPECT_FALSE(IsQlfss1Url("http://h/a.1"));

  MirrorSource mp3 = ResolveMirror("qlfss1://127.0.0.1:80/m/a.1");
  EXPECT_EQ(mp3.url, "http://127.0.0.1:80/m/a.1");
  EXPECT_TRUE(mp3.xor_bytes);
  EXPECT_EQ(mp3.extension, ".mp3");
  MirrorSource wma = ResolveMirror("Qlfss1://h/a.2");
  EXPECT_EQ(wma.url, "http://h/a.2");
  EXPECT_EQ(wma.extension, ".wma");
  MirrorSource plain = ResolveMirror("http://h/a.mp3");
  EXPECT_EQ(plain.url, "http://h/a.mp3");
  EXPECT_FALSE(plain.xor_bytes);
  EXPECT_EQ(plain.extension, "");
}

TEST(TransferRulesTest, MirrorListKeepsOnlyHttpAndQlfss1Lines) {
  const std::string plain =
      "  http://h/a.mp3 \r\nftp://h/b\nfile:///etc/passwd\nqlfss1://h/c.1\n\nqlfss1://h/d.3\n"
      "javascript:x\nhttp://h/e";
  EXPECT_EQ(ParseMirrorList(testing::ScrambleAnswer(plain)),
            (std::vector<std::string>{"http://h/a.mp3", "qlfss1://h/c.1", "http://h/e"}));
  // The text ends at its first NUL.
  EXPECT_EQ(ParseMirrorList(testing::ScrambleAnswer(std::string("http://h/a\0\nhttp://h/b", 22))),
            (std::vector<std::string>{"http://h/a"}));
  EXPECT_TRUE(ParseMirrorList("").empty());
  EXPECT_TRUE(ParseMirrorList("x").empty());
}

TEST(TransferRulesTest, ContentRange) {
  const struct {
    const char* text;
    bool valid;
    std::uint64_t first, last, total;
  } cases[] = {
      {"bytes 1048576-3145727/3145728", true, 1048576, 3145727, 3145728},
      {"BYTES 0-0/1", true, 0, 0, 1},
      {"  bytes   5-9/10 ", true, 5, 9, 10},
      {"bytes 9223372036854775806-9223372036854775806/9223372036854775807", true,
       9223372036854775806ull, 9223372036854775806ull, 9223372036854775807ull},
      {"bytes 0-1/9223372036854775808", false, 0, 0, 0},      // 2^63
      {"bytes 0-1/99999999999999999999999", false, 0, 0, 0},  // overflow
      {"bytes -5-9/10", false, 0, 0, 0},
      {"bytes 5--9/10", false, 0, 0, 0},
      {"bytes 5-9/-10", false, 0, 0, 0},
      {"bytes 9-5/10", false, 0, 0, 0},   // first after last
      {"bytes 5-10/10", false, 0, 0, 0},  // last past the total
      {"bytes 5-9/*", false, 0, 0, 0},
      {"bytes */10", false, 0, 0, 0},
      {"bytes5-9/10", false, 0, 0, 0},
      {"items 5-9/10", false, 0, 0, 0},
      {"bytes +5-9/10", false, 0, 0, 0},
      {"bytes 5-9/10x", false, 0, 0, 0},
      {"bytes 5-9/", false, 0, 0, 0},
      {"bytes 5/9-10", false, 0, 0, 0},
      {"", false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    auto range = ParseContentRange(c.text);
    ASSERT_EQ(range.has_value(), c.valid) << c.text;
    if (!range) continue;
    EXPECT_EQ(range->first, c.first);
    EXPECT_EQ(range->last, c.last);
    EXPECT_EQ(range->total, c.total);
  }
}

TEST(TransferRulesTest, ContentLength) {
  EXPECT_EQ(ParseContentLength("3145728"), 3145728u);
  EXPECT_EQ(ParseContentLength(" 0 "), 0u);
  EXPECT_EQ(ParseContentLength("9223372036854775807"), 9223372036854775807ull);
  for (const char* bad :
       {"", "-1", "+1", "1e3", "9223372036854775808", "18446744073709551617", "12 34", "0x10"}) {
    EXPECT_FALSE(ParseContentLength(bad).has_value()) << bad;
  }
}

// Random bytes and random mutations of valid headers: the parser answers or refuses, and what
// it accepts is always consistent.
TEST(TransferRulesTest, ContentRangeRandomisedInput) {
  std::mt19937 random(20261209);
  const std::string alphabet = "bytesBYTES 0123456789-/*+\t\r\n\x00\xff";
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    if (round % 2 == 0) {
      text = "bytes " + std::to_string(random()) + "-" + std::to_string(random()) + "/" +
             std::to_string(random());
      for (int edits = random() % 3; edits > 0; --edits) {
        text[random() % text.size()] = alphabet[random() % alphabet.size()];
      }
    } else {
      text.resize(random() % 48);
      for (char& c : text)
        c = static_cast<char>(round % 3 == 0 ? random() : alphabet[random() % alphabet.size()]);
    }
    auto range = ParseContentRange(text);
    if (range) {
      EXPECT_LE(range->first, range->last);
      EXPECT_LT(range->last, range->total);
    }
  }
}

TEST(TransferRulesTest, DescramblerRandomisedInput) {
  std::mt19937 random(77);
  for (int round = 0; round < 20000; ++round) {
    std::string body(random() % 300, '\0');
    for (char& c : body) c = static_cast<char>(random());
    const std::size_t before = body.size();
    std::string copy = body;
    const bool ok = DescrambleAnswer(body);
    EXPECT_EQ(ok, before >= 3);
    if (ok) {
      EXPECT_LE(body.size(), before);
    } else {
      EXPECT_EQ(body, copy);
    }
    ParseMirrorList(copy);  // must not fail on any bytes
  }
  // What the service scrambles comes back unchanged, for every block length.
  for (unsigned block = 1; block < 256; block += 17) {
    std::string plain = "qlfss1://127.0.0.1/a.1\nhttp://127.0.0.1/b.mp3\n" + std::to_string(block);
    std::string body = testing::ScrambleAnswer(plain, static_cast<unsigned char>(block));
    ASSERT_TRUE(DescrambleAnswer(body));
    EXPECT_EQ(body, plain) << block;
  }
}

}  // namespace
}  // namespace quillo::service
