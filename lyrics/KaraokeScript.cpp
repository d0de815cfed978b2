#include "lyrics/KaraokeScript.h"

#include <cstddef>

namespace quillo::lyrics {

std::optional<std::string> UnscrambleKaraokeScript(std::string bytes) {
  const std::size_t size = bytes.size();
  if (size < 3) return std::nullopt;
  const std::size_t block_length = static_cast<unsigned char>(bytes[1]);
  const std::size_t blocks = (size - 3) / (block_length + 1) + 1;
  std::size_t read = 2;
  std::size_t written = 0;
  for (std::size_t block = 0; block < blocks && read < size; ++block) {
    const char key = bytes[read++];
    for (std::size_t i = 0; i < block_length && read < size; ++i) {
      // The write position never passes the read position, so this is safe in place.
      bytes[written++] = static_cast<char>(bytes[read++] ^ key);
    }
  }
  bytes.resize(written);
  return bytes;
}

}  // namespace quillo::lyrics
