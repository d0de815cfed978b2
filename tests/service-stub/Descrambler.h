#pragma once
// The client's descrambler of service answers, written from its definition and independent of
// the service's scrambler: byte 0 ignored, byte 1 the block length k, then
// (n - 3) / (k + 1) + 1 blocks of one key byte and up to k data bytes XORed with it.
#include <cstdint>
#include <optional>
#include <string>

namespace quillo::testing {

inline std::optional<std::string> Descramble(const std::string& body) {
  const std::size_t n = body.size();
  if (n < 3) return std::nullopt;
  const std::size_t k = static_cast<std::uint8_t>(body[1]);
  const std::size_t blocks = (n - 3) / (k + 1) + 1;
  std::string out;
  std::size_t at = 2;
  for (std::size_t block = 0; block < blocks && at < n; ++block) {
    const auto key = static_cast<std::uint8_t>(body[at++]);
    for (std::size_t j = 0; j < k && at < n; ++j) {
      out.push_back(static_cast<char>(static_cast<std::uint8_t>(body[at++]) ^ key));
    }
  }
  return out;
}

}  // namespace quillo::testing
