#pragma once
// A media graph for the equaliser and spectrum tests: named stages that record the gains set on
// them, and a tap with a format and a buffer the test chooses. Everything else does nothing.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/media/MediaGraph.h"

namespace quillo::playback::testing {

class StageGraph : public audio::MediaGraph {
 public:
  bool RenderFile(const std::string&) override { return true; }
  bool BuildMp3Snapshot(const std::string&) override { return true; }
  bool Run() override { return true; }
  bool Pause() override { return true; }
  void Stop() override {}
  std::optional<double> DurationSeconds() override { return std::nullopt; }
  std::optional<double> PositionSeconds() override { return std::nullopt; }
  bool SetPositionSeconds(double) override { return true; }
  bool SetRate(double) override { return true; }
  bool SetVolume(int) override { return true; }
  bool SetBalance(int) override { return true; }
  std::vector<std::string> StageNames() const override { return stages; }
  bool SetEqualizerGain(int band, double gain_db) override {
    gains_set[band] = gain_db;
    return true;
  }
  audio::TapFailure InsertTap() override { return audio::TapFailure::kNone; }
  std::optional<audio::PcmFormat> TapFormat() const override {
    ++format_reads;
    return format;
  }
  bool CopyTapBuffer(std::vector<std::uint8_t>& out) const override {
    ++copies;
    if (!tap_buffer) return false;
    out = *tap_buffer;
    return true;
  }
  std::vector<audio::GraphEvent> TakeEvents() override { return {}; }

  std::vector<std::string> stages;
  std::map<int, double> gains_set;
  std::optional<audio::PcmFormat> format = audio::PcmFormat{2, 16, 44100};
  std::optional<std::vector<std::uint8_t>> tap_buffer;
  mutable int format_reads = 0;
  mutable int copies = 0;
};

}  // namespace quillo::playback::testing
