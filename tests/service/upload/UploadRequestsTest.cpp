// The upload host's paths and the reading of its answers, including any bytes at all.
#include "service/upload/UploadRequests.h"

#include <gtest/gtest.h>

#include <random>

#include "service/upload/HttpUploadHost.h"

namespace quillo::service {
namespace {

TEST(UploadRequestsTest, Paths) {
  EXPECT_EQ(UploadStartPath(), "/api/upload.php?action=start");
  EXPECT_EQ(UploadSendPath("5ECE74", 2048000),
            "/api/upload.php?action=send&id=5ECE74&seek=2048000");
  EXPECT_EQ(UploadEndPath("abc"), "/api/upload.php?action=end&id=abc");
  // An id cannot add parameters or break the request line.
  EXPECT_EQ(UploadEndPath("a&action=stop b\r\n"),
            "/api/upload.php?action=end&id=a%26action%3Dstop%20b%0D%0A");
  EXPECT_EQ(UploadSendPath("", 0), "/api/upload.php?action=send&id=&seek=0");
}

TEST(UploadRequestsTest, UploadIdFromAnswer) {
  const std::pair<std::string, std::string> cases[] = {
      {"{id:'abc'}", "abc"},
      {"{id:'5ECE7471832244F8A08CD9A76AAE2E4C'}", "5ECE7471832244F8A08CD9A76AAE2E4C"},
      {"junk {id:'x'} {id:'y'}", "x"},
      {"{id:''}", ""},
      {"{id:'abc'", ""},                 // no closing
      {"{id:'abc',file_length:5}", ""},  // "'}" never follows
      {"{ID:'abc'}", ""},
      {"", ""},
      {"id:'", ""},
      {"'}id:'a'}", "a"},
  };
  for (const auto& [answer, id] : cases) EXPECT_EQ(UploadIdFromAnswer(answer), id) << answer;
}

TEST(UploadRequestsTest, FileLengthFromAnswer) {
  using Length = std::optional<std::uint64_t>;
  const std::pair<std::string, Length> cases[] = {
      {"{id:'abc',file_length:1024000}", 1024000},
      {"{file_length:0}", 0},
      {"{file_length: 17}", 17},
      {"{file_length:12abc}", 12},
      {"{file_length:}", 0},
      {"{file_length:abc}", 0},
      {"no marker", 0},
      {"", 0},
      {"{file_length:5", 5},
      {"{file_length:}7", 0},
      {"{file_length:-0}", 0},
      {"{file_length:-1}", std::nullopt},
      {"{file_length:9223372036854775807}", 9223372036854775807ull},
      {"{file_length:9223372036854775808}", std::nullopt},
      {"{file_length:99999999999999999999999}", std::nullopt},
      {"{file_length:3} {file_length:9}", 3},
  };
  for (const auto& [answer, length] : cases)
    EXPECT_EQ(FileLengthFromAnswer(answer), length) << answer;
}

TEST(UploadRequestsTest, RandomAnswersNeverBreakTheReaders) {
  std::mt19937 random(20261209);
  const std::string pieces[] = {"id:'", "'}", "file_length:", "}",   "-", "9",
                                "0",    " ",  "\0",           "\xff"};
  for (int round = 0; round < 20000; ++round) {
    std::string answer;
    const int parts = static_cast<int>(random() % 12);
    for (int i = 0; i < parts; ++i) {
      if (random() % 2) {
        answer += pieces[random() % std::size(pieces)];
      } else {
        answer += static_cast<char>(random() & 0xFF);
      }
    }
    const std::string id = UploadIdFromAnswer(answer);
    EXPECT_LE(id.size(), answer.size());
    EXPECT_EQ(id.find("'}"), std::string::npos);
    if (const auto length = FileLengthFromAnswer(answer)) {
      EXPECT_LE(*length, 9223372036854775807ull);
    }
    ParseUploadHost(answer);
  }
}

TEST(UploadRequestsTest, UploadHostText) {
  struct Case {
    std::string text;
    std::optional<std::pair<std::string, unsigned>> expected;
  };
  using Pair = std::pair<std::string, unsigned>;
  const Case cases[] = {
      {"upload.example.org", Pair{"upload.example.org", 80}},
      {"127.0.0.1:39263", Pair{"127.0.0.1", 39263}},
      {"[::1]:8080", Pair{"::1", 8080}},
      {"[::1]", Pair{"::1", 80}},
      {"host:0", std::nullopt},
      {"host:65536", std::nullopt},
      {"host:", std::nullopt},
      {"host:8o", std::nullopt},
      {":80", std::nullopt},
      {"", std::nullopt},
      {"host/path:80", std::nullopt},
      {"[::1", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseUploadHost(c.text);
    ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << c.text;
    if (parsed) {
      EXPECT_EQ(parsed->host, c.expected->first) << c.text;
      EXPECT_EQ(parsed->port, c.expected->second) << c.text;
    }
  }
}

}  // namespace
}  // namespace quillo::service
