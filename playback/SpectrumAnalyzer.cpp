#include "playback/SpectrumAnalyzer.h"

#include <algorithm>
#include <cmath>

#include "platform/media/MediaGraph.h"

namespace quillo::playback {

static_assert(SpectrumAnalyzer::kFrameSamples <= audio::kTapWindowFrames,
              "the tap keeps at least one analysis frame");
namespace {

// The lifting makes quiet bands visible: the quieter a band, the more it is raised.
float Lift(float v) {
  if (v > 0.005F && v < 0.009F) {
    v *= 28.274332F;  // 9 pi
  } else if (v > 0.01F && v < 0.1F) {
    v *= 9.424778F;  // 3 pi
  } else if (v > 0.1F && v < 0.5F) {
    v *= 3.1415925F;  // pi
  }
  // Applied after the lifting so that a lifted band stays within the bar's 0..1 as well.
  if (v > 1.0F) v = 0.9F;
  return v;
}

}  // namespace

SpectrumAnalyzer::SpectrumAnalyzer() {
  bars_.fill(1.0F);
  peaks_.fill(1.0F);
  peak_hold_.fill(kPeakHoldTicks);
}

float SpectrumAnalyzer::ReadSample(const std::uint8_t* bytes, int bytes_per_sample) {
  switch (bytes_per_sample) {
    case 1:
      return static_cast<float>(static_cast<std::int8_t>(bytes[0])) / 128.0F;
    case 2: {
      // Little-endian signed: the low byte is unsigned, only the high byte carries the sign.
      auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[0]) |
                                             static_cast<std::uint16_t>(bytes[1]) << 8);
      return static_cast<float>(value) / 32767.0F;
    }
    default:
      return 0.0F;
  }
}

void SpectrumAnalyzer::Update(const audio::MediaGraph* graph, bool paused) {
  bool analysed = false;
  std::optional<audio::PcmFormat> format;
  if (graph != nullptr && !paused) format = graph->TapFormat();
  if (format && format->channels > 0 &&
      (format->bits_per_sample == 8 || format->bits_per_sample == 16)) {
    int bytes_per_sample = format->bits_per_sample / 8;
    std::size_t frame_bytes = static_cast<std::size_t>(kFrameSamples) *
                              static_cast<std::size_t>(format->channels) *
                              static_cast<std::size_t>(bytes_per_sample);
    bool have_frame = data_bytes_ >= read_offset_ && data_bytes_ - read_offset_ >= frame_bytes;
    if (!have_frame) have_frame = CopyFromTap(*graph, frame_bytes);
    if (have_frame) {
      AnalyseFrame(format->channels, bytes_per_sample);
      analysed = true;
    }
  }
  if (!analysed) FallBars();
  UpdatePeaks();
}

bool SpectrumAnalyzer::CopyFromTap(const audio::MediaGraph& graph, std::size_t frame_bytes) {
  data_bytes_ = 0;
  read_offset_ = 0;
  sample_buffer_.clear();  // keeps the capacity: the buffer only grows
  if (!graph.CopyTapBuffer(sample_buffer_)) return false;
  data_bytes_ = std::min(sample_buffer_.size(), frame_bytes * kMaxCopiedFrames);
  // A buffer shorter than one frame is not analysed (neither is what an earlier, longer
  // buffer left behind it).
  return data_bytes_ >= frame_bytes;
}

void SpectrumAnalyzer::AnalyseFrame(int channels, int bytes_per_sample) {
  const std::uint8_t* at = sample_buffer_.data() + read_offset_;
  for (int i = 0; i < kFrameSamples; ++i) {
    float sum = 0.0F;
    for (int channel = 0; channel < channels; ++channel) {
      sum += ReadSample(at, bytes_per_sample);
      at += bytes_per_sample;
    }
    frame_[i] = sum / static_cast<float>(channels);
  }
  read_offset_ += static_cast<std::size_t>(kFrameSamples) * channels * bytes_per_sample;

  for (int j = 0; j < Fft256::kSize; ++j) fft_input_[j] = frame_[j * kDecimation];
  fft_.Amplitudes(fft_input_, amplitudes_);
  NewBars(amplitudes_);
  SmoothBars();
}

void SpectrumAnalyzer::NewBars(const std::array<float, Fft256::kBins>& amplitudes) {
  for (int k = 0; k < kBars; ++k) {
    float sum = 0.0F;
    for (int bin = kBinsPerBand * k; bin < kBinsPerBand * (k + 1); ++bin) sum += amplitudes[bin];
    float v = Lift(sum * std::log(static_cast<float>(k + 2)));
    float settled = (v + bars_[k]) / 2.0F - kFall;
    bars_[k] = std::max(0.0F, v >= settled ? v : settled);
  }
}

void SpectrumAnalyzer::SmoothBars() {
  // Each group of three keeps its first bar and blends the next two between it and the bar
  // after the group; the last group has no bar after it and uses its own last bar instead.
  for (int m = 0; m < kBars / 3; ++m) {
    float first = bars_[3 * m];
    float next = 3 * m + 3 < kBars ? bars_[3 * m + 3] : bars_[kBars - 1];
    bars_[3 * m + 1] = 0.75F * first + 0.35F * next;
    bars_[3 * m + 2] = 0.35F * first + 0.75F * next;
  }
}

void SpectrumAnalyzer::FallBars() {
  for (float& bar : bars_) bar = std::max(0.0F, bar - kFall);
}

void SpectrumAnalyzer::UpdatePeaks() {
  for (int k = 0; k < kBars; ++k) {
    if (bars_[k] > peaks_[k]) {
      peaks_[k] = bars_[k];
      peak_hold_[k] = kPeakHoldTicks;
    } else if (peak_hold_[k] <= 0) {
      peaks_[k] = std::max(bars_[k], peaks_[k] - kFall);
    } else {
      --peak_hold_[k];
    }
  }
}

}  // namespace quillo::playback
