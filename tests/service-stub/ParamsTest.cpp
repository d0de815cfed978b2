#include "service-stub/Params.h"

#include <gtest/gtest.h>

#include <random>

namespace quillo::stub {
namespace {

struct ParseCase {
  const char* text;
  std::vector<Params::Pair> expected;
};

TEST(ParamsTest, ParsesInArrivalOrder) {
  const ParseCase cases[] = {
      {"", {}},
      {"a=1&b=2", {{"a", "1"}, {"b", "2"}}},
      {"musicId%5B%5D=3&playlistId=X&musicId%5B%5D=1", {{"musicId[]", "3"}, {"playlistId", "X"}, {"musicId[]", "1"}}},
      {"name=%E5%B0%8F%E6%98%8E&encode=a+b", {{"name", "小明"}, {"encode", "a b"}}},
      {"a=%zz&b=%4&c=%", {{"a", "%zz"}, {"b", "%4"}, {"c", "%"}}},
      {"&&flag&x=", {{"flag", ""}, {"x", ""}}},
      {"k=v=w", {{"k", "v=w"}}},
      {"%00=%00", {{std::string(1, '\0'), std::string(1, '\0')}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Params::ParseUrlEncoded(c.text).pairs(), c.expected) << c.text;
  }
}

TEST(ParamsTest, LooksUpFirstAndAllValues) {
  const Params params = Params::ParseUrlEncoded("id=1&musicId[]=a&id=2&musicId[]=b");
  EXPECT_EQ(params.Get("id"), "1");
  EXPECT_EQ(params.GetAll("musicId[]"), (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(params.Get("ID").has_value());
  EXPECT_EQ(params.GetOr("none", "fallback"), "fallback");
}

TEST(ParamsTest, EncodeAndDecodeRoundTrip) {
  const std::string texts[] = {"plain", "小明 密码", "a&b=c+d%", std::string("\x01\xff", 2)};
  for (const auto& text : texts) EXPECT_EQ(UrlDecode(UrlEncode(text)), text);
}

TEST(ParamsTest, RandomBytesNeverBreakTheParser) {
  std::mt19937 random(11);
  const std::string alphabet = "=&%+abc09\xe4\xb8\xad\x00";
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 64, '\0');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    const Params params = Params::ParseUrlEncoded(text);
    for (const auto& [name, value] : params.pairs()) {
      EXPECT_LE(name.size() + value.size(), text.size());
    }
  }
}

}  // namespace
}  // namespace quillo::stub
