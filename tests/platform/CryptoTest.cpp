#include "platform/crypto/Crypto.h"

#include <gtest/gtest.h>

namespace quillo::crypto {
namespace {

TEST(CryptoTest, Md5KnownValues) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("The quick brown fox jumps over the lazy dog"),
            "9e107d9d372bb6826bd81d3542a419d6");
}

TEST(CryptoTest, GuidsDifferAndCarryVersion) {
  auto a = NewGuid();
  auto b = NewGuid();
  ASSERT_TRUE(a && b);
  EXPECT_NE(*a, *b);
  EXPECT_EQ((*a)[6] >> 4, 4);
}

}  // namespace
}  // namespace quillo::crypto
