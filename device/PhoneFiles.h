#pragma once
// The byte layouts of the phone player's own files. Pure functions over bytes: no file access,
// no lock, any thread; every input is accepted (a fuzz target may call them with anything).
//
// - A path record file ("AllMusic.txt", each ".lst") is a sequence of 522-byte records, each a
//   phone path ("E:\我的音乐\…") in UTF-16LE of up to 261 code units, zero-padded. A record's
//   text ends at its first zero code unit or at the record's end.
// - The player configuration ("@MusicPlayer/MPConfig.ini") is a 4-byte header (byte 0 is '0'
//   plus the number of lists), twenty 16-bit little-endian song counts, then one 84-byte record
//   per list holding the list file's phone path ("C:\name.lst", up to 41 code units).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::device {

inline constexpr std::size_t kPathRecordBytes = 522;
inline constexpr std::size_t kPathRecordUnits = kPathRecordBytes / 2;
inline constexpr std::size_t kConfigHeaderBytes = 44;
inline constexpr std::size_t kConfigRecordBytes = 84;
inline constexpr std::size_t kConfigRecordUnits = 41;
inline constexpr std::size_t kMaxPhoneLists = 20;

// The texts of the complete records, in order; an incomplete record at the end is ignored.
std::vector<std::string> ParsePathRecords(std::string_view bytes);

// One record for the text, or no value when it needs more than 261 UTF-16 code units.
std::optional<std::string> EncodePathRecord(std::string_view utf8);

struct PlayerConfig {
  // Byte 0 counts the lists; bytes 1 to 3 belong to the phone's player and are kept as found.
  std::array<std::uint8_t, 4> header{};
  std::array<std::uint16_t, kMaxPhoneLists> counts{};
  // The list files' phone paths, one per complete 84-byte record.
  std::vector<std::string> list_paths;
};

// A file shorter than its header reads as a header of what is there (zeros for the rest) and no
// lists.
PlayerConfig ParsePlayerConfig(std::string_view bytes);

// The file's bytes: header with byte 0 := '0' + the number of lists (at most 20 are written),
// the counts, and one record per list path (a path is cut to 41 code units).
std::string EncodePlayerConfig(const PlayerConfig& config);

}  // namespace quillo::device
