#include "downloads/SongFileEnd.h"

#include <array>
#include <cstdint>

namespace quillo::downloads {
namespace {

std::uint8_t At(std::string_view bytes, std::size_t index) {
  return static_cast<std::uint8_t>(bytes[index]);
}

std::uint64_t LittleEndian64(std::string_view bytes, std::size_t at) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < 8; ++i) value |= static_cast<std::uint64_t>(At(bytes, at + i)) << (8 * i);
  return value;
}

// The ASF header object's and data object's GUIDs as they stand in the file.
constexpr std::array<std::uint8_t, 16> kAsfHeader = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                                     0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr std::array<std::uint8_t, 16> kAsfData = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                                   0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

bool HasGuid(std::string_view bytes, std::size_t at, const std::array<std::uint8_t, 16>& guid) {
  if (bytes.size() < at + 16) return false;
  for (std::size_t i = 0; i < 16; ++i) {
    if (At(bytes, at + i) != guid[i]) return false;
  }
  return true;
}

// Objects follow each other (GUID, 64-bit size); the data object must be among them and every
// object must fit the file.
bool AsfEndsWhole(std::string_view bytes) {
  std::size_t at = 0;
  bool data_seen = false;
  while (at < bytes.size()) {
    if (bytes.size() - at < 24) return false;
    const std::uint64_t size = LittleEndian64(bytes, at + 16);
    if (size < 24 || size > bytes.size() - at) return false;
    if (HasGuid(bytes, at, kAsfData)) data_seen = true;
    at += static_cast<std::size_t>(size);
  }
  return data_seen;
}

std::size_t Id3v2Length(std::string_view bytes) {
  if (bytes.size() < 10 || bytes.substr(0, 3) != "ID3") return 0;
  std::size_t size = 0;
  for (std::size_t i = 6; i < 10; ++i) size = (size << 7) | (At(bytes, i) & 0x7F);
  const bool footer = (At(bytes, 5) & 0x10) != 0;
  return 10 + size + (footer ? 10 : 0);
}

// What may follow the last frame: an APE tag (footer at the very end, or before ID3v1), an ID3v1
// tag, or both.
bool IsTrailingTag(std::string_view rest) {
  if (rest.empty()) return true;
  if (rest.size() == 128 && rest.substr(0, 3) == "TAG") return true;
  if (rest.size() >= 32 && rest.substr(0, 8) == "APETAGEX") return true;
  if (rest.size() >= 160 && rest.substr(rest.size() - 128, 3) == "TAG" &&
      rest.substr(0, 8) == "APETAGEX") {
    return true;
  }
  return false;
}

}  // namespace

std::size_t SongFileEnd::MpegFrameLength(std::string_view header) {
  if (header.size() < 4) return 0;
  const std::uint8_t b1 = At(header, 1);
  const std::uint8_t b2 = At(header, 2);
  if (At(header, 0) != 0xFF || (b1 & 0xE0) != 0xE0) return 0;
  const int version = (b1 >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
  const int layer = (b1 >> 1) & 3;    // 1: III, 2: II, 3: I
  const int bitrate_index = b2 >> 4;
  const int rate_index = (b2 >> 2) & 3;
  const int padding = (b2 >> 1) & 1;
  if (version == 1 || layer == 0 || bitrate_index == 0 || bitrate_index == 15 || rate_index == 3) {
    return 0;
  }
  static constexpr int kBitrates[2][3][16] = {
      // MPEG-1: layer I, II, III
      {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
       {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
       {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
      // MPEG-2 and 2.5: layer I, II, III
      {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};
  static constexpr int kRates[3] = {44100, 48000, 32000};
  const bool mpeg1 = version == 3;
  const int layer_index = 3 - layer;  // 0: I, 1: II, 2: III
  const long bitrate = kBitrates[mpeg1 ? 0 : 1][layer_index][bitrate_index] * 1000L;
  const long rate = kRates[rate_index] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
  if (layer_index == 0) return static_cast<std::size_t>((12 * bitrate / rate + padding) * 4);
  const long per_frame = (layer_index == 2 && !mpeg1) ? 72 : 144;
  return static_cast<std::size_t>(per_frame * bitrate / rate + padding);
}

bool SongFileEnd::EndsWhole(std::string_view bytes) {
  if (HasGuid(bytes, 0, kAsfHeader)) return AsfEndsWhole(bytes);
  std::size_t at = Id3v2Length(bytes);
  if (at > bytes.size()) return false;  // cut inside the tag
  // Only a stream that starts with a frame right after its tag (or at byte 0) is judged.
  if (MpegFrameLength(bytes.substr(at, 4)) == 0) return true;
  while (at < bytes.size()) {
    const std::size_t length = MpegFrameLength(bytes.substr(at, 4));
    if (length > 0) {
      if (length > bytes.size() - at) return false;
      at += length;
      continue;
    }
    if (IsTrailingTag(bytes.substr(at))) return true;
    // Junk between frames: go on at the next header that another header (or the end) follows.
    // Bytes with no such header after them are not a cut frame, and are left to the decoder.
    std::size_t next = at + 1;
    for (; next + 4 <= bytes.size(); ++next) {
      const std::size_t candidate = MpegFrameLength(bytes.substr(next, 4));
      if (candidate == 0) continue;
      if (candidate == bytes.size() - next) break;
      if (candidate < bytes.size() - next && MpegFrameLength(bytes.substr(next + candidate, 4)) > 0)
        break;
    }
    if (next + 4 > bytes.size()) return true;
    at = next;
  }
  return true;
}

}  // namespace quillo::downloads
