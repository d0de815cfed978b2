#pragma once
// Follows a recorded stream of PCM (what reached the sink) through a reference decode of the same
// song, block by block, and reports where the recording jumps: forwards (audio skipped) or
// backwards (audio repeated). Signals are interleaved S16 stereo at the same rate; they are
// compared as mono. For tests and benches.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace quillo::testing {

struct PcmAlignment {
  std::size_t recorded_frames = 0;
  std::size_t reference_frames = 0;
  std::size_t jumps = 0;
  double largest_skip_ms = 0;    // reference audio the recording left out at one jump
  double largest_repeat_ms = 0;  // reference audio the recording played twice at one jump
  std::size_t unmatched_blocks = 0;
  std::size_t reference_end_frame = 0;  // where the recording's last matched block ends
};

inline std::vector<float> MonoOf(const std::string& s16_stereo) {
  std::vector<float> mono(s16_stereo.size() / 4);
  const auto* samples = reinterpret_cast<const unsigned char*>(s16_stereo.data());
  for (std::size_t i = 0; i < mono.size(); ++i) {
    auto read = [&](std::size_t at) {
      return static_cast<float>(static_cast<std::int16_t>(samples[at] | (samples[at + 1] << 8)));
    };
    mono[i] = (read(i * 4) + read(i * 4 + 2)) * 0.5F;
  }
  return mono;
}

// Mean absolute difference over the block relative to the reference block's mean magnitude.
inline double BlockError(const std::vector<float>& recorded, std::size_t at,
                         const std::vector<float>& reference, std::size_t ref_at,
                         std::size_t length, std::size_t step = 1) {
  double diff = 0, magnitude = 0;
  for (std::size_t i = 0; i < length; i += step) {
    diff += std::fabs(recorded[at + i] - reference[ref_at + i]);
    magnitude += std::fabs(reference[ref_at + i]);
  }
  // Near-silence (a few steps of dither) matches near-silence.
  const double count = static_cast<double>((length + step - 1) / step);
  if (magnitude < 4.0 * count) return diff < 4.0 * count ? 0 : 1;
  return diff < 1.0 * static_cast<double>(length / step) ? 0 : 1;
  return diff / magnitude;
}

inline PcmAlignment AlignPcm(const std::string& recorded_s16, const std::string& reference_s16,
                             int rate) {
  const std::vector<float> recorded = MonoOf(recorded_s16);
  const std::vector<float> reference = MonoOf(reference_s16);
  PcmAlignment result;
  result.recorded_frames = recorded.size();
  result.reference_frames = reference.size();
  const std::size_t block = static_cast<std::size_t>(rate) / 10;  // 100 ms
  const auto window = static_cast<std::ptrdiff_t>(rate) * 5;      // search ±5 s
  constexpr double kMatch = 0.15;
  std::size_t expected = 0;
  for (std::size_t at = 0; at + block <= recorded.size(); at += block) {
    if (expected + block <= reference.size() &&
        BlockError(recorded, at, reference, expected, block) < kMatch) {
      expected += block;
      result.reference_end_frame = expected;
      continue;
    }
    // Coarse search on every 8th sample, then refine around the best offset.
    const std::ptrdiff_t low =
        std::max<std::ptrdiff_t>(0, static_cast<std::ptrdiff_t>(expected) - window);
    const std::ptrdiff_t high = std::min<std::ptrdiff_t>(
        static_cast<std::ptrdiff_t>(reference.size()) - static_cast<std::ptrdiff_t>(block),
        static_cast<std::ptrdiff_t>(expected) + window);
    double best = 1e9;
    std::ptrdiff_t best_at = -1;
    for (std::ptrdiff_t ref_at = low; ref_at <= high; ref_at += 4) {
      const double error =
          BlockError(recorded, at, reference, static_cast<std::size_t>(ref_at), block, 8);
      if (error < best) {
        best = error;
        best_at = ref_at;
      }
    }
    if (best_at >= 0) {
      for (std::ptrdiff_t ref_at = std::max<std::ptrdiff_t>(low, best_at - 8);
           ref_at <= std::min<std::ptrdiff_t>(high, best_at + 8); ++ref_at) {
        const double error =
            BlockError(recorded, at, reference, static_cast<std::size_t>(ref_at), block);
        if (error < best || ref_at == best_at) {
          if (error <= best) {
            best = error;
            best_at = ref_at;
          }
        }
      }
    }
    if (best_at < 0 || best >= kMatch) {
      ++result.unmatched_blocks;
      expected += block;
      continue;
    }
    const double jump_ms =
        (static_cast<double>(best_at) - static_cast<double>(expected)) * 1000.0 / rate;
    if (std::fabs(jump_ms) >= 1.0) {
      ++result.jumps;
      if (jump_ms > 0) result.largest_skip_ms = std::max(result.largest_skip_ms, jump_ms);
      if (jump_ms < 0) result.largest_repeat_ms = std::max(result.largest_repeat_ms, -jump_ms);
    }
    expected = static_cast<std::size_t>(best_at) + block;
    result.reference_end_frame = expected;
  }
  return result;
}

}  // namespace quillo::testing
