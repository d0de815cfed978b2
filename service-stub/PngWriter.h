#pragma once
// Encodes an 8-bit RGB image as a PNG file. The image data goes into stored (uncompressed)
// deflate blocks, so no compression library is needed; the chunk CRCs and the zlib Adler-32
// are computed here. Pictures of the catalogue are 64 x 64, about 12 KB each.
#include <cstdint>
#include <string>
#include <vector>

namespace quillo::stub {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3 bytes, rows top to bottom

  RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w * h * 3), 0) {}
  void Put(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
};

// The PNG file's bytes; empty for an image without pixels.
std::string EncodePng(const RgbImage& image);

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);

}  // namespace quillo::stub
