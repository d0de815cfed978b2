#pragma once
// Length arithmetic of the POST body: an overflow throws error 112 instead of wrapping round.
#include <cstdint>

#include "service/http/httpclientexceptionW.h"

namespace Dravik {

inline std::uint64_t CheckedAdd(std::uint64_t a, std::uint64_t b) {
  std::uint64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) throw httpclientexceptionW(kArithmeticOverflow);
  return sum;
}

inline std::uint64_t CheckedMul(std::uint64_t a, std::uint64_t b) {
  std::uint64_t product = 0;
  if (__builtin_mul_overflow(a, b, &product)) throw httpclientexceptionW(kArithmeticOverflow);
  return product;
}

}  // namespace Dravik
