#pragma once
// Phone folders built byte by byte from the phone player's layouts, independently of the code
// that reads and writes them: UTF-16LE from char16_t literals, zero padding and little-endian
// counts written out here.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"

namespace quillo::testing {

inline std::string Utf16Le(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  return out;
}

// A fixed-size record: the UTF-16LE text, zeros up to `bytes`.
inline std::string Record(const std::u16string& text, std::size_t bytes) {
  std::string out = Utf16Le(text);
  out.resize(bytes, '\0');
  return out;
}

inline std::string PathRecords(const std::vector<std::u16string>& paths) {
  std::string out;
  for (const auto& path : paths) out += Record(path, 522);
  return out;
}

// MPConfig.ini: header bytes (byte 0 given), twenty counts, one 84-byte record per list path.
inline std::string ConfigBytes(char byte0, const std::string& header_rest,
                               const std::vector<std::uint16_t>& counts,
                               const std::vector<std::u16string>& lists) {
  std::string out(44, '\0');
  out[0] = byte0;
  for (std::size_t i = 0; i < 3 && i < header_rest.size(); ++i) out[1 + i] = header_rest[i];
  for (std::size_t i = 0; i < counts.size(); ++i) {
    out[4 + 2 * i] = static_cast<char>(counts[i] & 0xFF);
    out[5 + 2 * i] = static_cast<char>(counts[i] >> 8);
  }
  for (const auto& list : lists) out += Record(list, 84);
  return out;
}

inline void Put(const std::string& path, const std::string& bytes) {
  fs::CreateFolders(fs::ParentFolder(path));
  fs::WriteFile(path, bytes);
}

inline std::string Bytes(const std::string& path) { return fs::ReadWholeFile(path).value_or("<missing>"); }

}  // namespace quillo::testing
