#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StageGraph.h"
#include "playback/EqualizerGains.h"
#include "playback/EqualizerModel.h"
#include "playback/EqualizerPresets.h"
#include "store/DocumentStore.h"
#include "support/TempFolder.h"

namespace quillo::playback {
namespace {

class EqualizerTest : public ::testing::Test {
 protected:
  void SetUp() override { store_.Open(false); }
  quillo::testing::TempFolder folder_;
  store::DocumentStore store_{folder_.path()};
};

EqualizerGains Filled(double first) {
  EqualizerGains gains;
  for (int band = 0; band < EqualizerGains::kBands; ++band) gains.SetGain(band, first + band);
  return gains;
}

TEST_F(EqualizerTest, LoadTakesExactlyTenValuesAndZeroesOutOfRangeOnes) {
  struct Case {
    const char* text;
    std::vector<double> expected;  // empty: the previous gains stay
  };
  const std::vector<double> kept;
  const Case cases[] = {
      {"4.00,2.00,0.00,-3.00,-6.00,-6.00,-3.00,0.00,1.00,3.00,",
       {4, 2, 0, -3, -6, -6, -3, 0, 1, 3}},
      {"1,2,3,4,5,6,7,8,9,10", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},  // no trailing comma
      {"1.00,2.00,3.00,4.00,5.00,6.00,7.00,8.00,9.00,", kept},    // nine values
      {"1,2,3,4,5,6,7,8,9,10,11,", kept},                         // eleven
      {"", kept},
      {",", kept},
      {"15.00,0,0,0,0,0,0,0,0,-12.01,", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"12.00,-12.00,0,0,0,0,0,0,0,0,", {12, -12, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"abc,,nan,inf,1e400,+3,  -2.5 ,7x,0,0,", {0, 0, 0, 0, 0, 3, -2.5, 7, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EqualizerGains gains = Filled(-5);
    store_.SetConfigText("sorvel.eq.value", c.text);
    gains.Load(store_);
    const EqualizerGains before = Filled(-5);
    for (int band = 0; band < EqualizerGains::kBands; ++band) {
      double want = c.expected.empty() ? before.Gain(band) : c.expected[band];
      EXPECT_DOUBLE_EQ(gains.Gain(band), want) << "band " << band;
    }
  }
}

TEST_F(EqualizerTest, LoadWithoutTheKeyKeepsTheStartingZeros) {
  EqualizerGains gains;
  gains.Load(store_);
  for (int band = 0; band < EqualizerGains::kBands; ++band) EXPECT_EQ(gains.Gain(band), 0.0);
}

TEST_F(EqualizerTest, RandomTextNeverBreaksLoading) {
  unsigned seed = 12345;
  const std::string alphabet = "0123456789.,-+eE nai\xff\x80";
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    int length = static_cast<int>((seed = seed * 1103515245 + 12345) >> 16) % 80;
    for (int i = 0; i < length; ++i) {
      seed = seed * 1103515245 + 12345;
      text += alphabet[(seed >> 16) % alphabet.size()];
    }
    EqualizerGains gains;
    gains.FromText(text);
    for (int band = 0; band < EqualizerGains::kBands; ++band) {
      ASSERT_GE(gains.Gain(band), -12.0) << text;
      ASSERT_LE(gains.Gain(band), 12.0) << text;
    }
  }
}

TEST_F(EqualizerTest, SaveWritesTwoDecimalsWithTrailingCommaAndTheType) {
  EqualizerGains gains;
  EqualizerPresets().ApplyTo(1, gains);
  gains.SetGain(9, 2.345);
  gains.SetPresetIndex(1);
  gains.Save(store_);
  EXPECT_EQ(store_.GetConfigText("sorvel.eq.value"),
            "4.00,2.00,0.00,-3.00,-6.00,-6.00,-3.00,0.00,1.00,2.35,");
  EXPECT_EQ(store_.GetConfigText("sorvel.eq.type"), "1");
  EqualizerGains loaded;
  loaded.Load(store_);
  EXPECT_DOUBLE_EQ(loaded.Gain(3), -3.0);
  EXPECT_DOUBLE_EQ(loaded.Gain(9), 2.35);
}

TEST_F(EqualizerTest, PresetIndexReadRule) {
  EXPECT_EQ(EqualizerGains::LoadPresetIndex(store_), 0);  // missing
  const std::pair<const char*, int> cases[] = {{"0", 0},   {"12", 12}, {"13", 13}, {"99", 13},
                                               {"-1", 13}, {"x", 0},   {"5abc", 5}};
  for (auto [text, want] : cases) {
    store_.SetConfigText("sorvel.eq.type", text);
    EXPECT_EQ(EqualizerGains::LoadPresetIndex(store_), want) << text;
  }
}

TEST_F(EqualizerTest, PresetsHaveTheirNamesAndTheCustomRowFollowsTheSliders) {
  EqualizerPresets presets;
  EXPECT_EQ(presets.Name(0), "自定义");
  EXPECT_EQ(presets.Name(10), "重高");
  EXPECT_EQ(presets.Name(13), "瑞格");
  EXPECT_EQ(presets.Gains(8)[7], -10);
  EqualizerGains gains;
  gains.SetGain(0, 3.6);
  gains.SetGain(1, -2.5);
  gains.SetGain(2, 99);
  presets.SetCustom(gains);
  EXPECT_EQ(presets.Gains(0)[0], 4);
  EXPECT_EQ(presets.Gains(0)[1], -3);
  EXPECT_EQ(presets.Gains(0)[2], 12);
  EXPECT_EQ(EqualizerPresets().Gains(0)[0], 0);  // another table is untouched
}

TEST(ApplyEqualizerTest, SetsOnlyStagesNamedParamEqWithABandNumber) {
  testing::StageGraph graph;
  graph.stages = {"source",    "ParamEq0",  "ParamEq9", "ParamEq10", "ParamEq",
                  "ParamEq-1", "ParamEq3x", "paramEq4", "ParamEq05", "volume"};
  EqualizerGains gains = Filled(-5);
  ApplyEqualizer(gains, graph);
  std::map<int, double> want = {{0, -5.0}, {9, 4.0}, {5, 0.0}};
  EXPECT_EQ(graph.gains_set, want);
}

class EqualizerModelTest : public EqualizerTest {
 protected:
  EqualizerModel Model() {
    return EqualizerModel(gains_, presets_, store_,
                          [this](const EqualizerGains& g) { applied_.push_back(g.gains()); });
  }
  EqualizerGains gains_;
  EqualizerPresets presets_;
  std::vector<std::array<double, EqualizerGains::kBands>> applied_;
};

TEST_F(EqualizerModelTest, ChoosingHeavyTrebleSetsItsGainsSavesTypeTenAndApplies) {
  EqualizerModel model = Model();
  model.ChoosePreset(10);
  EXPECT_EQ(gains_.Gain(6), 12.0);  // the seventh band
  EXPECT_EQ(gains_.Gain(9), 0.0);   // the tenth
  EXPECT_EQ(gains_.Gain(0), -8.0);
  EXPECT_EQ(store_.GetConfigText("sorvel.eq.type"), "10");
  EXPECT_EQ(store_.GetConfigText("sorvel.eq.value"),
            "-8.00,-8.00,-8.00,-3.00,2.00,7.00,12.00,12.00,12.00,0.00,");
  ASSERT_EQ(applied_.size(), 1u);
  EXPECT_EQ(applied_[0][6], 12.0);
  EXPECT_EQ(model.knobs()[6], 0);   // top of the track
  EXPECT_EQ(model.knobs()[9], 30);  // centre
}

TEST_F(EqualizerModelTest, OffAndOnLeaveEveryGainAtZero) {
  EqualizerModel model = Model();
  model.ChoosePreset(8);
  model.ToggleEnabled();
  EXPECT_FALSE(model.enabled());
  model.ChoosePreset(3);  // ignored while disabled
  model.MoveBand(2, 0);
  model.ToggleEnabled();
  EXPECT_TRUE(model.enabled());
  for (int band = 0; band < EqualizerGains::kBands; ++band) EXPECT_EQ(gains_.Gain(band), 0.0);
  ASSERT_EQ(applied_.size(), 3u);  // preset, off, on
  for (double g : applied_[1]) EXPECT_EQ(g, 0.0);
  EXPECT_EQ(store_.GetConfigText("sorvel.eq.value"),
            "0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,");
}

TEST_F(EqualizerModelTest, MovingABandSelectsCustomAndLinkedNeighboursFollowHalfWay) {
  EqualizerModel model = Model();
  model.ChoosePreset(1);
  model.SetLinked(true);
  model.MoveBand(0, 0);  // +12; only band 1 is a neighbour
  EXPECT_EQ(model.preset_index(), 0);
  EXPECT_EQ(gains_.Gain(0), 12.0);
  // Band 1 was at +2 dB (knob 25): half-way to 0 is 12 pixels = +7.2 dB.
  EXPECT_EQ(model.knobs()[1], 12);
  EXPECT_NEAR(gains_.Gain(1), 7.2, 1e-9);
  EXPECT_EQ(gains_.Gain(2), 0.0);
  EXPECT_EQ(presets_.Gains(0)[1], 7);
  EXPECT_EQ(store_.GetConfigText("sorvel.eq.type"), "0");
  EXPECT_EQ(applied_.size(), 1u);  // applied only when the knob is let go
  model.ReleaseBand(0);
  EXPECT_EQ(model.knobs()[1], 6);
  EXPECT_EQ(applied_.size(), 2u);
}

TEST_F(EqualizerModelTest, ResetAndGeometry) {
  EqualizerModel model = Model();
  model.ChoosePreset(2);
  model.Reset();
  EXPECT_EQ(model.preset_index(), 0);
  for (int knob : model.knobs()) EXPECT_EQ(knob, 30);
  EXPECT_EQ(model.GainForKnob(60), -12.0);
  EXPECT_EQ(model.GainForKnob(-5), 12.0);
  EXPECT_EQ(EqualizerModel::BalanceForKnob(0, 200), -100);
  EXPECT_EQ(EqualizerModel::BalanceForKnob(100, 200), 0);
  EXPECT_EQ(EqualizerModel::BalanceKnob(0), 66);
  EXPECT_EQ(EqualizerModel::BalanceKnob(100), 96);
}

TEST_F(EqualizerModelTest, TheModelStartsFromTheStoredPresetIndex) {
  store_.SetConfigText("sorvel.eq.type", "40");
  EXPECT_EQ(Model().preset_index(), 13);
}

}  // namespace
}  // namespace quillo::playback
