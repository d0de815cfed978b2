#pragma once
// A radix-2 decimation-in-time FFT of size 256 with its twiddle factors and bit-reversal table
// made once at construction. Any thread; one instance per caller (Transform uses the object's
// scratch).
#include <array>
#include <complex>

namespace quillo::playback {

class Fft256 {
 public:
  static constexpr int kSize = 256;
  static constexpr int kBins = kSize / 2;

  Fft256();

  // Transforms 256 real values and writes the amplitude spectrum: |X0| / 256 for bin 0 and
  // 2 |Xk| / 256 for bins 1..127.
  void Amplitudes(const std::array<float, kSize>& input, std::array<float, kBins>& amplitudes);

  // In-place forward transform (no scaling) of 256 complex values.
  void Transform(std::array<std::complex<float>, kSize>& data) const;

 private:
  std::array<std::complex<float>, kSize / 2> twiddles_;
  std::array<int, kSize> bit_reversed_;
  std::array<std::complex<float>, kSize> scratch_;
};

}  // namespace quillo::playback
