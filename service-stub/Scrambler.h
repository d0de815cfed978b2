#pragma once
// The scrambled form of the service's answers (login answers, list documents, mirror lists) and
// of karaoke lyric files: one ignored byte, the block length k (1..255), then blocks of one key
// byte followed by up to k data bytes, each XORed with that key. The client's descrambler
// recovers the text exactly; a final block may hold only its key byte.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace quillo::stub {

class Scrambler {
 public:
  // Seeded from the system's randomness; every answer gets fresh keys.
  Scrambler();
  // Fixed seed, for reproducible files (the generated karaoke lyrics).
  explicit Scrambler(std::uint32_t seed);

  // Any text, the empty one included (it becomes three bytes that descramble to nothing).
  std::string Scramble(std::string_view plain);

 private:
  std::mt19937 random_;
};

// XORs every byte with one key (the qlfss1 mirror bodies use 0x5A); applying it twice restores.
void XorInPlace(std::string& bytes, std::uint8_t key);

// Scrambles with a Scrambler owned by the calling thread.
std::string ScrambleText(std::string_view plain);

}  // namespace quillo::stub
