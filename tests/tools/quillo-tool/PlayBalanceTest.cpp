// `quillo-tool play --balance B` plays through the program's graph with that balance: -100
// silences the right channel, 100 the left one, 0 keeps both; a balance outside -100..100 is a
// usage error. The sink is a WAV file whose samples are read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <string>
#include <utility>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace {

using quillo::testing::TempFolder;

// A 16-bit stereo WAV with a 440 Hz sine at 0.2 on both channels, half a second at 44100 Hz.
bool WriteSine(const std::string& path) {
  const int rate = 44100, frames = rate / 2;
  std::string data;
  for (int i = 0; i < frames; ++i) {
    const auto s = static_cast<std::int16_t>(std::lround(0.2 * 32767 * std::sin(2 * M_PI * 440 * i / rate)));
    for (int c = 0; c < 2; ++c) {
      data.push_back(char(s & 0xff));
      data.push_back(char((s >> 8) & 0xff));
    }
  }
  auto u32 = [](std::uint32_t v) {
    return std::string{char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff),
                       char((v >> 24) & 0xff)};
  };
  auto u16 = [](std::uint16_t v) { return std::string{char(v & 0xff), char((v >> 8) & 0xff)}; };
  return quillo::fs::WriteFile(path, "RIFF" + u32(36 + std::uint32_t(data.size())) + "WAVEfmt " +
                                         u32(16) + u16(1) + u16(2) + u32(rate) + u32(rate * 4) +
                                         u16(4) + u16(16) + "data" +
                                         u32(std::uint32_t(data.size())) + data);
}

// The largest absolute sample of each channel of raw 16-bit stereo PCM.
std::pair<int, int> Peaks(const std::string& path) {
  const std::string bytes = quillo::fs::ReadWholeFile(path).value_or("");
  if (bytes.empty()) return {-1, -1};
  int left = 0, right = 0;
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
    const auto l = std::int16_t(std::uint8_t(bytes[i]) | (std::uint8_t(bytes[i + 1]) << 8));
    const auto r = std::int16_t(std::uint8_t(bytes[i + 2]) | (std::uint8_t(bytes[i + 3]) << 8));
    left = std::max(left, std::abs(int(l)));
    right = std::max(right, std::abs(int(r)));
  }
  return {left, right};
}

class PlayBalanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteSine(input_));
    // In the sanitizer build the tool is checked for leaks as well; GLib's first quark block,
    // which it never frees by design, is the one report to leave out (as the test programs do
    // in support/GstLeakSuppressions.cpp).
    ASSERT_TRUE(quillo::fs::WriteFile(suppressions_, "leak:_dl_init\n"));
  }
  // The exit status of one play into `output`.
  int Play(const std::string& balance, const std::string& output) {
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string command =
        "ASAN_OPTIONS='" + std::string(asan ? asan : "") + ":fast_unwind_on_malloc=0' " +
        "LSAN_OPTIONS='suppressions=" + suppressions_ + ":print_suppressions=0' " +
        // Raw PCM rather than wavenc, which can fail on the flush of the player's re-decode
        // after it sets the levels; a file sink starts its file again on a flush.
        "QUILLO_AUDIO_SINK='filesink location=" + output + "' " +
        std::string(QUILLO_BINARY_DIR) + "/tools/quillo-tool/quillo-tool --data-dir '" +
        data_.path() + "' play '" + input_ + "' --balance " + balance + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  TempFolder data_;
  TempFolder scratch_;
  std::string input_ = scratch_ / "sine.wav";
  std::string suppressions_ = scratch_ / "lsan.supp";
};

TEST_F(PlayBalanceTest, TheBalanceSilencesOneSideAndAWrongOneIsRefused) {
  ASSERT_EQ(Play("-100", scratch_ / "left.pcm"), 0);
  ASSERT_EQ(Play("100", scratch_ / "right.pcm"), 0);
  ASSERT_EQ(Play("0", scratch_ / "both.pcm"), 0);
  const auto [left_only_l, left_only_r] = Peaks(scratch_ / "left.pcm");
  const auto [right_only_l, right_only_r] = Peaks(scratch_ / "right.pcm");
  const auto [both_l, both_r] = Peaks(scratch_ / "both.pcm");
  EXPECT_GT(left_only_l, 2000);  // the default volume is 8 dB down
  EXPECT_LT(left_only_r, 50);
  EXPECT_LT(right_only_l, 50);
  EXPECT_GT(right_only_r, 2000);
  EXPECT_GT(both_l, 2000);
  EXPECT_GT(both_r, 2000);
  EXPECT_EQ(Play("300", scratch_ / "never.pcm"), 1);
  EXPECT_FALSE(quillo::fs::FileExists(scratch_ / "never.pcm"));
}

}  // namespace
