#include "service-stub/Scrambler.h"

#include <gtest/gtest.h>

#include <random>

#include "Descrambler.h"

namespace quillo::stub {
namespace {

using testing::Descramble;

TEST(ScramblerTest, DescramblesToTheTextForEveryLength) {
  std::mt19937 random(7);
  Scrambler scrambler(42);
  // Every length up to a few blocks, so exact multiples of every block length occur.
  for (std::size_t length = 0; length < 700; ++length) {
    std::string text(length, '\0');
    for (char& c : text) c = static_cast<char>(random());
    const std::string scrambled = scrambler.Scramble(text);
    ASSERT_GE(scrambled.size(), 3u);
    ASSERT_NE(static_cast<std::uint8_t>(scrambled[1]), 0) << "a zero block length carries no data";
    const auto plain = Descramble(scrambled);
    ASSERT_TRUE(plain.has_value());
    ASSERT_EQ(*plain, text) << "length " << length;
  }
}

TEST(ScramblerTest, HidesTheTextAndVariesBetweenAnswers) {
  const std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?><list pid=\"1\" pname=\"热门\"/>";
  const std::string first = ScrambleText(text);
  const std::string second = ScrambleText(text);
  EXPECT_EQ(first.find("<list"), std::string::npos);
  EXPECT_NE(first, second);
  EXPECT_EQ(Descramble(first), text);
  EXPECT_EQ(Descramble(second), text);
}

TEST(ScramblerTest, SameSeedGivesTheSameFile) {
  EXPECT_EQ(Scrambler(5).Scramble("karaoke.add('00:01.000', '00:02.000', 'a', '10');"),
            Scrambler(5).Scramble("karaoke.add('00:01.000', '00:02.000', 'a', '10');"));
}

TEST(ScramblerTest, XorTwiceRestores) {
  std::string bytes = "ID3\x04\x00 some \xff\x5a bytes";
  const std::string original = bytes;
  XorInPlace(bytes, 0x5A);
  EXPECT_NE(bytes, original);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[0]), 'I' ^ 0x5A);
  XorInPlace(bytes, 0x5A);
  EXPECT_EQ(bytes, original);
}

}  // namespace
}  // namespace quillo::stub
