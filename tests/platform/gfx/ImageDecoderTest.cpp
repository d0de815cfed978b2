// Pictures of the kinds artist pictures come in decode to surfaces of the right size and colour;
// bytes that are no picture (or are cut short) give no surface and never crash.
#include "platform/gfx/ImageDecoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "platform/fs/FileSystem.h"

namespace quillo::gfx {
namespace {

const std::string kData = std::string(QUILLO_SOURCE_DIR) + "/tests/data/pictures/";

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

// An uncompressed 24-bit BMP of width × 1 pixels, all of one colour.
std::string Bmp(int width, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  const int row = (width * 3 + 3) / 4 * 4;
  std::string out = "BM";
  PutLe(out, 54 + row, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, width, 4);
  PutLe(out, 1, 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, row, 4);
  for (int i = 0; i < 4; ++i) PutLe(out, 0, 4);
  std::string pixels;
  for (int x = 0; x < width; ++x) pixels += {char(b), char(g), char(r)};
  pixels.resize(row, '\0');
  return out + pixels;
}

// A 1 × 1 GIF whose only colour is pure red.
const std::string kRedGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00"
    ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
    35);

TEST(ImageDecoderTest, PicturesOfEachKindDecodeWithTheirSizeAndColour) {
  auto jpeg = fs::ReadWholeFile(kData + "artist.jpg");
  ASSERT_TRUE(jpeg);
  struct Case {
    const char* kind;
    std::string bytes;
    Size size;
    Color colour;
    int tolerance;  // JPEG is lossy, and its colours went through YUV
  };
  const Case kCases[] = {
      {"JPEG", *jpeg, {40, 30}, Color::Rgb(0x20, 0x60, 0xC0), 16},
      {"BMP", Bmp(3, 0x10, 0xA0, 0x30), {3, 1}, Color::Rgb(0x10, 0xA0, 0x30), 0},
      {"GIF", kRedGif, {1, 1}, Color::Rgb(0xFF, 0x00, 0x00), 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    std::optional<Surface> surface = DecodeImage(c.bytes);
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->size(), c.size);
    const Color seen = surface->ColorAt(c.size.width / 2, c.size.height / 2);
    EXPECT_NEAR(seen.r, c.colour.r, c.tolerance);
    EXPECT_NEAR(seen.g, c.colour.g, c.tolerance);
    EXPECT_NEAR(seen.b, c.colour.b, c.tolerance);
    EXPECT_EQ(seen.a, 255);
  }
}

TEST(ImageDecoderTest, APictureLargerThanTheLimitIsScaledDownKeepingItsShape) {
  std::optional<Surface> wide = DecodeImage(Bmp(3000, 1, 2, 3));
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->width(), kMaxDecodedImageSide);
  EXPECT_EQ(wide->height(), 1);
}

TEST(ImageDecoderTest, BytesThatAreNoPictureGiveNothing) {
  auto jpeg = fs::ReadWholeFile(kData + "artist.jpg");
  ASSERT_TRUE(jpeg);
  EXPECT_FALSE(DecodeImage(""));
  EXPECT_FALSE(DecodeImage("plain text, no picture at all"));
  EXPECT_FALSE(DecodeImage(jpeg->substr(0, 20)));
  EXPECT_FALSE(DecodeImage(kRedGif.substr(0, 13)));
  // Random damage anywhere in a real picture: a surface or none, never a crash.
  std::mt19937 random(13);
  for (int round = 0; round < 200; ++round) {
    std::string damaged = *jpeg;
    for (int i = 0; i < 8; ++i)
      damaged[random() % damaged.size()] = static_cast<char>(random() & 0xFF);
    damaged.resize(random() % (damaged.size() + 1));
    std::optional<Surface> surface = DecodeImage(damaged);
    if (surface) {
      EXPECT_LE(surface->width(), kMaxDecodedImageSide);
    }
  }
}

}  // namespace
}  // namespace quillo::gfx
