// Whether a song's bytes run whole to their end, for MP3 frame streams and ASF files, cut at
// every kind of place.
#include "downloads/SongFileEnd.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace quillo::downloads {
namespace {

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417 bytes a frame (418 with padding).
std::string Frame(bool padded = false) {
  std::string frame = std::string("\xFF\xFB", 2) + (padded ? '\x92' : '\x90') + '\x00';
  frame.resize(padded ? 418 : 417, 'f');
  return frame;
}

std::string Id3v2(std::size_t body) {
  std::string tag = std::string("ID3\x03\x00\x00", 6);
  for (int shift = 21; shift >= 0; shift -= 7) tag.push_back(static_cast<char>((body >> shift) & 0x7F));
  return tag + std::string(body, 't');
}

std::string Le64(std::uint64_t value) {
  std::string bytes;
  for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return bytes;
}

// An ASF object: its GUID's first byte picks header (0x30) or data (0x36); the rest of the GUID
// is the same for both.
std::string AsfObject(char first, std::size_t payload) {
  std::string guid = std::string("\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 15);
  return first + guid + Le64(24 + payload) + std::string(payload, 'a');
}

TEST(SongFileEndTest, FramesTagsAndCuts) {
  const std::string frames = Frame() + Frame(true) + Frame();
  const std::string tagged = Id3v2(100) + frames;
  const std::string asf = AsfObject('\x30', 50) + AsfObject('\x36', 4000);
  const struct {
    const char* what;
    std::string bytes;
    bool whole;
  } kCases[] = {
      {"frames", frames, true},
      {"after an ID3v2 tag", tagged, true},
      {"with an ID3v1 tag at the end", tagged + "TAG" + std::string(125, ' '), true},
      {"with an APE tag at the end", frames + "APETAGEX" + std::string(24, 'p'), true},
      {"cut inside the last frame", tagged.substr(0, tagged.size() - 100), false},
      {"cut inside the tag", Id3v2(100).substr(0, 50), false},
      {"a frame header alone", frames + Frame().substr(0, 4), false},
      {"junk between frames", Frame() + "junkjunk" + frames, true},
      {"junk then a cut frame", Frame() + "junk" + Frame() + Frame().substr(0, 300), false},
      {"not a frame stream", "plain text, nothing to judge", true},
      {"asf", asf, true},
      {"asf with an index after the data", asf + AsfObject('\x90', 10), true},
      {"asf cut inside the data", asf.substr(0, asf.size() - 1), false},
      {"asf without data", AsfObject('\x30', 50), false},
      {"asf object of size zero", AsfObject('\x30', 50) + std::string(24, '\0'), false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(SongFileEnd::EndsWhole(c.bytes), c.whole) << c.what;
  }
}

TEST(SongFileEndTest, FrameLengths) {
  EXPECT_EQ(SongFileEnd::MpegFrameLength(Frame()), 417u);
  EXPECT_EQ(SongFileEnd::MpegFrameLength(Frame(true)), 418u);
  // MPEG-2 layer III, 64 kbit/s, 22.05 kHz: 72 × 64000 / 22050.
  EXPECT_EQ(SongFileEnd::MpegFrameLength(std::string("\xFF\xF3\x80\x00", 4)), 208u);
  // MPEG-1 layer I, 32 kbit/s, 44.1 kHz: (12 × 32000 / 44100) × 4.
  EXPECT_EQ(SongFileEnd::MpegFrameLength(std::string("\xFF\xFF\x10\x00", 4)), 32u);
  for (const char* bad : {"\xFF\xFB\xF0\x00", "\xFF\xFB\x0C\x00", "\xFF\xE9\x90\x00",
                          "\xFE\xFB\x90\x00", "\xFF\xF9\x90\x00"}) {
    EXPECT_EQ(SongFileEnd::MpegFrameLength(std::string(bad, 4)), 0u);
  }
  EXPECT_EQ(SongFileEnd::MpegFrameLength("\xFF\xFB"), 0u);
}

}  // namespace
}  // namespace quillo::downloads
