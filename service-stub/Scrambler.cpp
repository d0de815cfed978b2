#include "service-stub/Scrambler.h"

namespace quillo::stub {

Scrambler::Scrambler() : random_(std::random_device{}()) {}

Scrambler::Scrambler(std::uint32_t seed) : random_(seed) {}

std::string Scrambler::Scramble(std::string_view plain) {
  std::uniform_int_distribution<int> byte_dist(0, 255);
  std::uniform_int_distribution<int> key_dist(1, 255);
  // Short blocks for short texts so that even a small answer spans several keys.
  const int block_length = std::uniform_int_distribution<int>(7, 120)(random_);

  std::string out;
  out.reserve(plain.size() + plain.size() / static_cast<std::size_t>(block_length) + 4);
  out.push_back(static_cast<char>(byte_dist(random_)));
  out.push_back(static_cast<char>(block_length));
  std::size_t position = 0;
  do {
    const auto key = static_cast<char>(key_dist(random_));
    out.push_back(key);
    const std::size_t end = std::min(plain.size(), position + static_cast<std::size_t>(block_length));
    for (; position < end; ++position) out.push_back(static_cast<char>(plain[position] ^ key));
  } while (position < plain.size());
  // When the text fills its last block exactly, sometimes add a block that is only a key byte;
  // the descrambler must yield no byte for it.
  if (!plain.empty() && plain.size() % static_cast<std::size_t>(block_length) == 0 &&
      byte_dist(random_) % 2 == 0) {
    out.push_back(static_cast<char>(key_dist(random_)));
  }
  return out;
}

void XorInPlace(std::string& bytes, std::uint8_t key) {
  for (char& c : bytes) c = static_cast<char>(static_cast<std::uint8_t>(c) ^ key);
}

std::string ScrambleText(std::string_view plain) {
  thread_local Scrambler scrambler;
  return scrambler.Scramble(plain);
}

}  // namespace quillo::stub
