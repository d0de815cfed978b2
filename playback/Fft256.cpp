#include "playback/Fft256.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace quillo::playback {
namespace {

constexpr int kLog2Size = 8;
static_assert(1 << kLog2Size == Fft256::kSize);

}  // namespace

Fft256::Fft256() {
  for (int k = 0; k < kSize / 2; ++k) {
    double angle = -2.0 * std::numbers::pi * k / kSize;
    twiddles_[k] = {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
  }
  for (int i = 0; i < kSize; ++i) {
    int reversed = 0;
    for (int bit = 0; bit < kLog2Size; ++bit) {
      if (i & (1 << bit)) reversed |= 1 << (kLog2Size - 1 - bit);
    }
    bit_reversed_[i] = reversed;
  }
}

void Fft256::Transform(std::array<std::complex<float>, kSize>& data) const {
  for (int i = 0; i < kSize; ++i) {
    int j = bit_reversed_[i];
    if (i < j) std::swap(data[i], data[j]);
  }
  for (int half = 1; half < kSize; half *= 2) {
    int stride = kSize / (2 * half);  // twiddle step for this stage's butterflies
    for (int start = 0; start < kSize; start += 2 * half) {
      for (int k = 0; k < half; ++k) {
        std::complex<float> odd = twiddles_[k * stride] * data[start + k + half];
        std::complex<float> even = data[start + k];
        data[start + k] = even + odd;
        data[start + k + half] = even - odd;
      }
    }
  }
}

void Fft256::Amplitudes(const std::array<float, kSize>& input,
                        std::array<float, kBins>& amplitudes) {
  for (int i = 0; i < kSize; ++i) scratch_[i] = {input[i], 0.0F};
  Transform(scratch_);
  amplitudes[0] = std::abs(scratch_[0]) / kSize;
  for (int k = 1; k < kBins; ++k) amplitudes[k] = 2.0F * std::abs(scratch_[k]) / kSize;
}

}  // namespace quillo::playback
