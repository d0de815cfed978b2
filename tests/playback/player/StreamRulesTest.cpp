#include "playback/StreamRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "playback/AudioLevels.h"
#include "playback/PositionSmoother.h"

namespace quillo::playback {
namespace {

using Continuation = StreamRules::Continuation;

TEST(StreamRulesTest, BufferingThresholdIsATenthCappedAt300000) {
  struct Case {
    std::int64_t total, threshold;
  };
  for (const Case& c : {Case{2000000, 200000}, Case{5000000, 300000}, Case{3000000, 300000},
                        Case{2999999, 299999}, Case{0, 0}, Case{-1, 0}, Case{9, 0}}) {
    EXPECT_EQ(StreamRules::BufferingThreshold(c.total), c.threshold) << c.total;
  }
  // Without a length the continuation still wants a real amount of new data.
  EXPECT_EQ(StreamRules::ContinuationBytes(0), 300000);
  EXPECT_EQ(StreamRules::ContinuationBytes(2000000), 200000);
}

TEST(StreamRulesTest, WaitingTargetUsesTheResumePointWhenItLiesBeyondTheThreshold) {
  struct Case {
    double saved_s, duration_s;
    std::int64_t total, base, received, target, span;
  };
  const Case cases[] = {
      // No duration: base + b.
      {10, 0, 2000000, 400000, 400000, 600000, 200000},
      // Resume point at 1,000,000 bytes: m = 1,300,000 > base + b.
      {50, 100, 2000000, 400000, 400000, 1300000, 900000},
      // m within base + b: base + b.
      {10, 100, 2000000, 400000, 400000, 600000, 200000},
      // m already received: base + b.
      {50, 100, 2000000, 400000, 1400000, 600000, 200000},
  };
  for (const Case& c : cases) {
    auto target = StreamRules::WaitingTarget(c.saved_s, c.duration_s, c.total, c.base, c.received);
    EXPECT_EQ(target.target_bytes, c.target) << c.saved_s << "/" << c.duration_s;
    EXPECT_EQ(target.span_bytes, c.span) << c.saved_s << "/" << c.duration_s;
  }
  EXPECT_EQ(StreamRules::Percent(50000, 200000), 25);
  EXPECT_EQ(StreamRules::Percent(-5, 200000), 0);
  EXPECT_EQ(StreamRules::Percent(900000, 200000), 100);
  EXPECT_EQ(StreamRules::Percent(1, 0), 100);
}

TEST(StreamRulesTest, DurationOfASnapshotIsScaledToTheSong) {
  EXPECT_DOUBLE_EQ(StreamRules::ExtrapolateDuration(12.5, 200000, 2000000), 125.0);
  // Unknown or nonsensical song length: the snapshot's own duration.
  EXPECT_DOUBLE_EQ(StreamRules::ExtrapolateDuration(12.5, 200000, 0), 12.5);
  EXPECT_DOUBLE_EQ(StreamRules::ExtrapolateDuration(12.5, 200000, 100000), 12.5);
  EXPECT_DOUBLE_EQ(StreamRules::ExtrapolateDuration(12.5, 0, 100000), 12.5);
}

TEST(StreamRulesTest, SnapshotEndContinuesWaitsOrFinishes) {
  struct Case {
    const char* name;
    bool ended;
    std::int64_t received, snapshot, total;
    bool error;
    Continuation expected;
  };
  const Case cases[] = {
      {"running, enough new data", false, 500000, 200000, 2000000, false, Continuation::kContinue},
      {"running, exactly the threshold", false, 400000, 200000, 2000000, false,
       Continuation::kContinue},
      {"running, too little new data", false, 399999, 200000, 2000000, false, Continuation::kWait},
      {"running, no new data", false, 200000, 200000, 2000000, false, Continuation::kWait},
      {"running, no length, little data", false, 250000, 100000, 0, false, Continuation::kWait},
      {"running, no length, enough data", false, 400000, 100000, 0, false, Continuation::kContinue},
      {"running, error, no new data", false, 200000, 200000, 2000000, true, Continuation::kWait},
      {"ended, much new data", true, 2000000, 200000, 2000000, false, Continuation::kContinue},
      // The last second of the song is still new data: it is played, not dropped.
      {"ended, a little new data", true, 2000000, 1984000, 2000000, false, Continuation::kContinue},
      {"ended, no new data", true, 2000000, 2000000, 2000000, false, Continuation::kFinish},
      {"ended, no new data, error", true, 2000000, 2000000, 2000000, true, Continuation::kFail},
      {"ended, no length, new data", true, 2000000, 200000, 0, false, Continuation::kContinue},
  };
  for (const Case& c : cases) {
    StreamRules::SnapshotEnd end;
    end.download_ended = c.ended;
    end.received_bytes = c.received;
    end.snapshot_bytes = c.snapshot;
    end.total_bytes = c.total;
    end.error = c.error;
    EXPECT_EQ(StreamRules::AtSnapshotEnd(end), c.expected) << c.name;
  }
}

TEST(StreamRulesTest, Mp3StreamsAreKnownByNameOrByTheirFirstBytes) {
  struct Case {
    const char* path;
    std::string head;
    bool mp3;
  };
  const Case cases[] = {
      {"/c/1.mp3", "", true},
      {"/c/1.MP3", "RIFF", true},
      {"/c/1.wma", "ID3\x04", false},
      {"/c/9", "ID3\x03", true},
      {"/c/9", "\xFF\xFB\x90\x00", true},
      {"/c/9.playpart", "\xFF\xF3\x90\x00", true},
      {"/c/9", "\x30\x26\xB2\x75", false},  // an ASF header
      {"/c/9", "\xFF", false},
      {"/c/9", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StreamRules::IsMp3Stream(c.path, c.head), c.mp3) << c.path << " " << c.head;
  }
}

TEST(StreamRulesTest, PositionReportGivesWholeSecondsWithinRange) {
  struct Case {
    double duration_s;
    double position_s;
    PositionChanged report;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case kCases[] = {
      {250.6, 61.9, {61, 250}},
      {0, 0, {0, 0}},
      // Past 18 hours: nothing wraps at 16 bits.
      {70000, 65537, {65537, 70000}},
      {-3, -0.5, {0, 0}},
      {nan, nan, {0, 0}},
      {1e12, 1e10, {INT_MAX, INT_MAX}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.position_s);
    EXPECT_EQ(StreamRules::PositionReport(c.duration_s, c.position_s), c.report);
  }
}

TEST(StreamRulesTest, VolumeMapsToCentibels) {
  struct Case {
    int volume, centibels;
  };
  for (const Case& c : {Case{100, 0}, Case{50, -2000}, Case{1, -3960}, Case{0, -10000},
                        Case{-3, -10000}, Case{150, 0}}) {
    EXPECT_EQ(AudioLevels::Centibels(c.volume), c.centibels) << c.volume;
  }
  EXPECT_EQ(AudioLevels::BalanceCentibels(-100), -10000);
  EXPECT_EQ(AudioLevels::BalanceCentibels(37), 3700);
  EXPECT_EQ(AudioLevels::BalanceCentibels(500), 10000);
}

TEST(PositionSmootherTest, RunsOnWithTheClockWhileTheGraphLags) {
  PositionSmoother smoother;
  EXPECT_EQ(smoother.Report(10000, 1000), 10000);
  // 400 ms later the graph still says 10000: the clock carries the report on.
  EXPECT_EQ(smoother.Report(10000, 1400), 10400);
  // The graph catches up beyond the report: its own value.
  EXPECT_EQ(smoother.Report(10600, 1500), 10600);
  // A lag of 3 s or more (a seek backwards) gives the graph's value.
  EXPECT_EQ(smoother.Report(2000, 1600), 2000);
  // Never backwards within the window.
  EXPECT_EQ(smoother.Report(1900, 1700), 2100);
  smoother.Reset();
  // After a reset (new graph) a position of 0 is not extrapolated.
  EXPECT_EQ(smoother.Report(0, 5000), 0);
  EXPECT_EQ(smoother.Report(0, 5400), 0);
}

}  // namespace
}  // namespace quillo::playback
