#pragma once
// The main window's 18-bar spectrum: turns the analysis tap's PCM into bar heights and falling
// peak marks. The main window calls Update from its periodic redraw and reads bars() and
// peaks() right after, on the same (window) thread.
//
// Per call: when a graph is given, it is not paused and its tap reports a format, one analysis
// frame (2048 sample frames) of the copied tap buffer is analysed; a fresh tap buffer is copied
// only when the previous copy has no whole frame left, keeping at most five frames of it. When
// nothing was analysed every bar falls by 0.04 (not below 0). Peaks follow the bars, hold for
// ten calls and then fall by 0.04 per call (not below the bar).
//
// Allocations: the sample buffer grows (never shrinks) and the FFT's tables are made once.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "playback/Fft256.h"

namespace quillo::audio {
class MediaGraph;
struct PcmFormat;
}  // namespace quillo::audio

namespace quillo::playback {

class SpectrumAnalyzer {
 public:
  static constexpr int kBars = 18;
  static constexpr int kFrameSamples = 2048;  // sample frames per analysis frame
  static constexpr int kMaxCopiedFrames = 5;  // analysis frames kept from one tap buffer
  static constexpr int kDecimation = 8;       // every 8th value goes into the FFT
  static constexpr int kBinsPerBand = 7;
  static constexpr int kPeakHoldTicks = 10;
  static constexpr float kFall = 0.04F;

  SpectrumAnalyzer();

  // graph may be null; paused: no analysis, bars fall.
  void Update(const audio::MediaGraph* graph, bool paused);

  const std::array<float, kBars>& bars() const { return bars_; }
  const std::array<float, kBars>& peaks() const { return peaks_; }

  // Reads one sample scaled to about -1..1: 8-bit as a signed byte / 128; 16-bit as signed
  // little-endian / 32767. Other widths read as 0.
  static float ReadSample(const std::uint8_t* bytes, int bytes_per_sample);

 private:
  // One analysis frame of the sample buffer into the bars; advances the read offset.
  void AnalyseFrame(int channels, int bytes_per_sample);
  // Refills the sample buffer from the tap; false when it holds less than one analysis frame.
  bool CopyFromTap(const audio::MediaGraph& graph, std::size_t frame_bytes);
  void NewBars(const std::array<float, Fft256::kBins>& amplitudes);
  void SmoothBars();
  void FallBars();
  void UpdatePeaks();

  std::array<float, kBars> bars_;
  std::array<float, kBars> peaks_;
  std::array<int, kBars> peak_hold_;

  // The tap's last buffer; the vector's capacity grows, never shrinks. Only the first
  // data_bytes_ count (at most five analysis frames).
  std::vector<std::uint8_t> sample_buffer_;
  std::size_t data_bytes_ = 0;
  std::size_t read_offset_ = 0;
  std::array<float, kFrameSamples> frame_{};
  std::array<float, Fft256::kSize> fft_input_{};
  std::array<float, Fft256::kBins> amplitudes_{};

  Fft256 fft_;
};

}  // namespace quillo::playback
