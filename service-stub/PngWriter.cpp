#include "service-stub/PngWriter.h"

#include <array>

namespace quillo::stub {
namespace {

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

void PutU32(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value >> 24));
  out.push_back(static_cast<char>(value >> 16));
  out.push_back(static_cast<char>(value >> 8));
  out.push_back(static_cast<char>(value));
}

void PutChunk(std::string& out, const char type[4], const std::string& data) {
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  std::string body(type, 4);
  body += data;
  out += body;
  PutU32(out, Crc32(reinterpret_cast<const std::uint8_t*>(body.data()), body.size()));
}

}  // namespace

void RgbImage::Put(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
  pixels[at] = r;
  pixels[at + 1] = g;
  pixels[at + 2] = b;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  const auto& table = CrcTable();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t Adler32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t a = 1, b = 0;
  for (std::size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

std::string EncodePng(const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  // Filter type 0 before every row.
  std::string raw;
  const std::size_t row_bytes = static_cast<std::size_t>(image.width) * 3;
  raw.reserve((row_bytes + 1) * image.height);
  for (int y = 0; y < image.height; ++y) {
    raw.push_back('\0');
    raw.append(reinterpret_cast<const char*>(image.pixels.data()) + y * row_bytes, row_bytes);
  }

  std::string zlib;
  zlib.push_back('\x78');
  zlib.push_back('\x01');
  std::size_t offset = 0;
  do {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - offset);
    const bool last = offset + length == raw.size();
    zlib.push_back(last ? '\x01' : '\x00');
    zlib.push_back(static_cast<char>(length & 0xFF));
    zlib.push_back(static_cast<char>(length >> 8));
    zlib.push_back(static_cast<char>(~length & 0xFF));
    zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
    zlib.append(raw, offset, length);
    offset += length;
  } while (offset < raw.size());
  PutU32(zlib, Adler32(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size()));

  std::string ihdr;
  PutU32(ihdr, static_cast<std::uint32_t>(image.width));
  PutU32(ihdr, static_cast<std::uint32_t>(image.height));
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace

  std::string png("\x89PNG\r\n\x1a\n", 8);
  PutChunk(png, "IHDR", ihdr);
  PutChunk(png, "IDAT", zlib);
  PutChunk(png, "IEND", std::string());
  return png;
}

}  // namespace quillo::stub
