#pragma once
// The service's scrambling, for targets that want to reach the parsers behind the descrambler:
// one ignored byte, the block length, then blocks of a key byte and up to that many data bytes
// XORed with it. Keys are taken from `keys` in turn (0 when it is empty).
#include <cstddef>
#include <string>
#include <string_view>

namespace quillo::fuzz {

inline std::string Scramble(std::string_view plain, unsigned char block_length,
                            std::string_view keys) {
  std::string out = {'\x01', static_cast<char>(block_length)};
  const std::size_t step = block_length == 0 ? 1 : block_length;
  std::size_t block = 0;
  for (std::size_t at = 0; at < plain.size() || block == 0; at += step, ++block) {
    const char key = keys.empty() ? '\0' : keys[block % keys.size()];
    out.push_back(key);
    if (block_length == 0) break;  // no data fits a block: nothing can be carried
    for (std::size_t i = at; i < plain.size() && i < at + step; ++i) {
      out.push_back(static_cast<char>(plain[i] ^ key));
    }
  }
  return out;
}

}  // namespace quillo::fuzz
