#include "service/transfer/AnswerDescrambler.h"

#include <cstddef>
#include <cstdint>

namespace quillo::service {

bool DescrambleAnswer(std::string& body) {
  const std::size_t n = body.size();
  if (n < 3) return false;
  const std::size_t block_length = static_cast<std::uint8_t>(body[1]);
  const std::size_t blocks = (n - 3) / (block_length + 1) + 1;
  // Output never overtakes input (each block drops its key byte), so it is written in place.
  std::size_t in = 2;
  std::size_t out = 0;
  for (std::size_t block = 0; block < blocks && in < n; ++block) {
    const auto key = static_cast<std::uint8_t>(body[in++]);
    for (std::size_t j = 0; j < block_length && in < n; ++j) {
      body[out++] = static_cast<char>(static_cast<std::uint8_t>(body[in++]) ^ key);
    }
  }
  body.resize(out);
  return true;
}

}  // namespace quillo::service
