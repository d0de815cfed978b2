#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "StageGraph.h"
#include "playback/Fft256.h"
#include "playback/SpectrumAnalyzer.h"

namespace quillo::playback {
namespace {

constexpr int kRate = 44100;
constexpr int kFrame = SpectrumAnalyzer::kFrameSamples;

// Interleaved little-endian S16 with `channels` equal channels; one value per sample frame.
std::vector<std::uint8_t> Pcm16(const std::vector<double>& values, int channels) {
  std::vector<std::uint8_t> out;
  for (double v : values) {
    auto s = static_cast<std::int16_t>(std::lround(v * 32767.0));
    for (int c = 0; c < channels; ++c) {
      out.push_back(static_cast<std::uint8_t>(s & 0xFF));
      out.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
    }
  }
  return out;
}

std::vector<double> Sine(double frequency_hz, double amplitude, int frames) {
  std::vector<double> out(static_cast<std::size_t>(frames) * kFrame);
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = amplitude * std::sin(2.0 * std::numbers::pi * frequency_hz * i / kRate);
  }
  return out;
}

// The frequency of FFT bin `bin` at the tap's rate after taking every 8th value.
double BinFrequency(double bin) {
  return bin * kRate / (SpectrumAnalyzer::kDecimation * static_cast<double>(Fft256::kSize));
}

TEST(Fft256Test, MatchesAPlainDiscreteTransform) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> value(-1.0F, 1.0F);
  std::array<std::complex<float>, Fft256::kSize> data;
  for (auto& x : data) x = {value(random), value(random)};
  auto input = data;
  Fft256 fft;
  fft.Transform(data);
  for (int k = 0; k < Fft256::kSize; ++k) {
    std::complex<double> sum = 0;
    for (int n = 0; n < Fft256::kSize; ++n) {
      sum += std::complex<double>(input[n]) *
             std::polar(1.0, -2.0 * std::numbers::pi * k * n / Fft256::kSize);
    }
    ASSERT_NEAR(data[k].real(), sum.real(), 1e-3) << k;
    ASSERT_NEAR(data[k].imag(), sum.imag(), 1e-3) << k;
  }
}

TEST(Fft256Test, AmplitudesOfACosineAndAnOffset) {
  std::array<float, Fft256::kSize> input;
  for (int n = 0; n < Fft256::kSize; ++n) {
    input[n] = 0.25F + 0.5F * static_cast<float>(std::cos(2 * std::numbers::pi * 10 * n / 256));
  }
  std::array<float, Fft256::kBins> amplitudes;
  Fft256().Amplitudes(input, amplitudes);
  EXPECT_NEAR(amplitudes[0], 0.25, 1e-5);
  EXPECT_NEAR(amplitudes[10], 0.5, 1e-5);
  EXPECT_NEAR(amplitudes[11], 0.0, 1e-5);
}

TEST(SpectrumSampleTest, SixteenBitSamplesAreSignedLittleEndian) {
  struct Case {
    std::uint8_t low, high;
    int value;
  };
  // 0x00FF is 255: a signed low byte would read it as -1.
  const Case cases[] = {{0xFF, 0x00, 255},    {0x00, 0x01, 256},   {0xFF, 0xFF, -1},
                        {0x00, 0x80, -32768}, {0xFF, 0x7F, 32767}, {0x80, 0x00, 128},
                        {0x7F, 0xFF, -129}};
  for (const Case& c : cases) {
    const std::uint8_t bytes[] = {c.low, c.high};
    EXPECT_FLOAT_EQ(SpectrumAnalyzer::ReadSample(bytes, 2), c.value / 32767.0F)
        << int(c.low) << " " << int(c.high);
  }
  const std::uint8_t byte[] = {0x80};
  EXPECT_FLOAT_EQ(SpectrumAnalyzer::ReadSample(byte, 1), -1.0F);
  const std::uint8_t byte2[] = {0x40};
  EXPECT_FLOAT_EQ(SpectrumAnalyzer::ReadSample(byte2, 1), 0.5F);
}

// Paused, without a graph, without a format or with a buffer shorter than a frame: the bars
// fall by 0.04 per call; peaks hold for ten calls, then fall by 0.04 down to the bars.
TEST(SpectrumAnalyzerTest, WithoutAnalysisBarsFallAndPeaksHoldThenFall) {
  testing::StageGraph loud;
  loud.tap_buffer = Pcm16(Sine(BinFrequency(3), 0.5, 1), 2);
  testing::StageGraph short_buffer;
  short_buffer.tap_buffer = Pcm16(Sine(BinFrequency(3), 0.5, 1), 2);
  short_buffer.tap_buffer->resize(short_buffer.tap_buffer->size() - 4);
  testing::StageGraph no_format;
  no_format.format.reset();
  no_format.tap_buffer = loud.tap_buffer;
  testing::StageGraph no_buffer;

  struct Case {
    const char* name;
    const audio::MediaGraph* graph;
    bool paused;
  };
  const Case cases[] = {{"no graph", nullptr, false},
                        {"paused", &loud, true},
                        {"short buffer", &short_buffer, false},
                        {"no format", &no_format, false},
                        {"no buffer", &no_buffer, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SpectrumAnalyzer spectrum;
    for (int call = 1; call <= 40; ++call) {
      spectrum.Update(c.graph, c.paused);
      float bar = std::max(0.0F, 1.0F - 0.04F * call);
      float peak = call <= 10 ? 1.0F : std::max(bar, 1.0F - 0.04F * (call - 10));
      for (int k = 0; k < SpectrumAnalyzer::kBars; ++k) {
        ASSERT_NEAR(spectrum.bars()[k], bar, 1e-4) << "call " << call;
        ASSERT_NEAR(spectrum.peaks()[k], peak, 1e-4) << "call " << call;
      }
    }
  }
  EXPECT_EQ(loud.copies, 0);  // paused: the tap is not even read
}

// After a long buffer, a short one is not analysed, not even together with what the long one
// left in the sample buffer behind it.
TEST(SpectrumAnalyzerTest, AShortBufferAfterALongOneIsNotAnalysed) {
  testing::StageGraph graph;
  graph.tap_buffer = Pcm16(Sine(BinFrequency(45), 0.5, 1), 2);
  SpectrumAnalyzer spectrum;
  spectrum.Update(&graph, false);
  const auto before = spectrum.bars();
  graph.tap_buffer->resize(graph.tap_buffer->size() / 2);
  spectrum.Update(&graph, false);
  EXPECT_EQ(graph.copies, 2);
  for (int k = 0; k < SpectrumAnalyzer::kBars; ++k) {
    EXPECT_NEAR(spectrum.bars()[k], std::max(0.0F, before[k] - 0.04F), 1e-6) << k;
  }
}

TEST(SpectrumAnalyzerTest, SilenceBringsEveryBarToZero) {
  testing::StageGraph graph;
  graph.tap_buffer = Pcm16(std::vector<double>(kFrame, 0.0), 2);
  SpectrumAnalyzer spectrum;
  // From 1.0 with v = 0: (0 + bar) / 2 - 0.04 per call, down to 0.
  const float expected[] = {0.46F, 0.19F, 0.055F, 0.0F};
  for (float want : expected) {
    spectrum.Update(&graph, false);
    EXPECT_NEAR(spectrum.bars()[0], want, 1e-5);
    EXPECT_NEAR(spectrum.bars()[15], want, 1e-5);  // group starts are not smoothed
  }
  // Peaks held for ten calls, then fell by 0.04 per call from 1.0: down to the bars after 35.
  for (int call = 4; call < 34; ++call) spectrum.Update(&graph, false);
  EXPECT_NEAR(spectrum.peaks()[0], 0.04F, 1e-4);
  spectrum.Update(&graph, false);
  for (int k = 0; k < SpectrumAnalyzer::kBars; ++k) {
    EXPECT_EQ(spectrum.bars()[k], 0.0F);
    EXPECT_NEAR(spectrum.peaks()[k], 0.0F, 1e-5);
  }
}

// Twelve frames in the tap's buffer: five are copied and analysed, one per call; the sixth call
// copies the buffer again. Frames 5..11 are loud: had any of them been analysed, a bar would rise.
TEST(SpectrumAnalyzerTest, OnlyFiveFramesOfALongBufferAreAnalysedOnePerCall) {
  std::vector<double> values(static_cast<std::size_t>(5) * kFrame, 0.0);
  std::vector<double> loud = Sine(BinFrequency(45), 0.9, 7);
  values.insert(values.end(), loud.begin(), loud.end());
  testing::StageGraph graph;
  graph.tap_buffer = Pcm16(values, 2);
  SpectrumAnalyzer spectrum;
  float previous = 1.0F;
  for (int call = 1; call <= 11; ++call) {
    spectrum.Update(&graph, false);
    EXPECT_EQ(graph.copies, call <= 5 ? 1 : call <= 10 ? 2 : 3) << "call " << call;
    EXPECT_LE(spectrum.bars()[6], previous) << "call " << call;
    previous = spectrum.bars()[6];
  }
  EXPECT_EQ(spectrum.bars()[6], 0.0F);
}

// A sine at the centre bin of band 3m lights that bar most (the bars between the group starts
// are blends of their neighbours after smoothing).
TEST(SpectrumAnalyzerTest, ASinePutsItsEnergyInItsBand) {
  for (int band = 0; band < SpectrumAnalyzer::kBars; band += 3) {
    SCOPED_TRACE(band);
    const int centre_bin = band * SpectrumAnalyzer::kBinsPerBand + 3;
    testing::StageGraph graph;
    graph.format = audio::PcmFormat{1, 16, kRate};
    graph.tap_buffer = Pcm16(Sine(BinFrequency(centre_bin), 0.3, 1), 1);
    SpectrumAnalyzer spectrum;
    for (int call = 0; call < 20; ++call) spectrum.Update(&graph, false);
    const auto& bars = spectrum.bars();
    int loudest = static_cast<int>(std::max_element(bars.begin(), bars.end()) - bars.begin());
    EXPECT_EQ(loudest, band);
    EXPECT_GT(bars[band], 0.5F);
    for (int k = 0; k < SpectrumAnalyzer::kBars; ++k) {
      if (std::abs(k - band) > 2) {
        EXPECT_LT(bars[k], 0.01F) << "bar " << k;
      }
    }
    EXPECT_GE(spectrum.peaks()[band], bars[band]);
  }
}

// The last group has no bar after it: bars 16 and 17 blend bar 15 with bar 17's own value.
TEST(SpectrumAnalyzerTest, TheLastGroupBlendsWithItsOwnLastBar) {
  testing::StageGraph graph;
  graph.format = audio::PcmFormat{1, 16, kRate};
  graph.tap_buffer = Pcm16(Sine(BinFrequency(17 * 7 + 3), 0.3, 1), 1);
  SpectrumAnalyzer spectrum;
  for (int call = 0; call < 20; ++call) spectrum.Update(&graph, false);
  const auto& bars = spectrum.bars();
  const float band = 0.3F * std::log(19.0F);  // above 0.5: not lifted
  EXPECT_NEAR(bars[17], 0.75F * band, 1e-3);
  EXPECT_NEAR(bars[16], 0.35F * band, 1e-3);
  EXPECT_NEAR(bars[15], 0.0F, 1e-3);
}

TEST(SpectrumAnalyzerTest, RandomBuffersAndFormatsKeepBarsInRange) {
  std::mt19937 random(99);
  testing::StageGraph graph;
  SpectrumAnalyzer spectrum;
  for (int round = 0; round < 300; ++round) {
    const int channels = static_cast<int>(random() % 9);  // 0 too
    const int bits[] = {0, 8, 12, 16, 24, 32};
    graph.format = audio::PcmFormat{channels, bits[random() % 6], kRate};
    std::vector<std::uint8_t> bytes(random() % (kFrame * 2 * 7));
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    graph.tap_buffer = std::move(bytes);
    for (int call = 0; call < 3; ++call) spectrum.Update(&graph, random() % 5 == 0);
    for (int k = 0; k < SpectrumAnalyzer::kBars; ++k) {
      ASSERT_GE(spectrum.bars()[k], 0.0F);
      ASSERT_LE(spectrum.bars()[k], 1.1F);
      ASSERT_GE(spectrum.peaks()[k], spectrum.bars()[k]);
    }
  }
}

TEST(SpectrumAnalyzerTest, EightBitStereoIsAnalysedToo) {
  testing::StageGraph graph;
  graph.format = audio::PcmFormat{2, 8, kRate};
  std::vector<std::uint8_t> bytes;
  for (double v : Sine(BinFrequency(45), 0.5, 1)) {
    auto s = static_cast<std::int8_t>(std::lround(v * 127));
    bytes.push_back(static_cast<std::uint8_t>(s));
    bytes.push_back(static_cast<std::uint8_t>(s));
  }
  graph.tap_buffer = bytes;
  SpectrumAnalyzer spectrum;
  for (int call = 0; call < 20; ++call) spectrum.Update(&graph, false);
  const auto& bars = spectrum.bars();
  EXPECT_EQ(std::max_element(bars.begin(), bars.end()) - bars.begin(), 6);
}

}  // namespace
}  // namespace quillo::playback
