#pragma once
// A scripted playback graph for tests of the player: every call is recorded in the graph's log
// (which outlives the graph), builds succeed or fail as scripted, position and duration are
// whatever the test sets, and events are queued by the test and announced through the callback
// the player gave the factory, as a real graph does from the window thread.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "platform/media/MediaGraph.h"

namespace quillo::testing {

// What one graph was asked to do, and what it answers.
struct FakeGraphLog {
  // Script (set by the test, read by the graph).
  bool build_succeeds = true;
  std::optional<double> duration_s;
  std::optional<double> position_s;
  audio::TapFailure tap_failure = audio::TapFailure::kNone;

  // Record.
  std::vector<std::string> calls;  // "RenderFile", "BuildMp3Snapshot", "Run", "Pause", ...
  std::string path;
  std::uint64_t snapshot_bytes = 0;  // the file's size on disk when the graph was built
  std::vector<int> volumes;          // every SetVolume
  std::vector<int> balances;
  std::vector<double> seeks_s;  // every SetPositionSeconds
  std::vector<std::pair<int, double>> equalizer;
  bool destroyed = false;
  bool running = false;

  std::deque<audio::GraphEvent> pending_events;
  std::function<void()> events_ready;

  bool Called(const std::string& name) const {
    for (const std::string& call : calls) {
      if (call == name) return true;
    }
    return false;
  }
};

class FakeMediaGraph : public audio::MediaGraph {
 public:
  explicit FakeMediaGraph(std::shared_ptr<FakeGraphLog> log) : log_(std::move(log)) {}
  ~FakeMediaGraph() override { log_->destroyed = true; }

  bool RenderFile(const std::string& path) override { return Build("RenderFile", path); }
  bool BuildMp3Snapshot(const std::string& path) override {
    return Build("BuildMp3Snapshot", path);
  }
  bool Run() override {
    log_->calls.push_back("Run");
    log_->running = true;
    return true;
  }
  bool Pause() override {
    log_->calls.push_back("Pause");
    log_->running = false;
    return true;
  }
  void Stop() override {
    log_->calls.push_back("Stop");
    log_->running = false;
  }
  std::optional<double> DurationSeconds() override { return log_->duration_s; }
  std::optional<double> PositionSeconds() override { return log_->position_s; }
  bool SetPositionSeconds(double seconds) override {
    log_->seeks_s.push_back(seconds);
    log_->position_s = seconds;
    return true;
  }
  bool SetRate(double) override { return true; }
  bool SetVolume(int centibels) override {
    log_->volumes.push_back(centibels);
    return true;
  }
  bool SetBalance(int hundredths_db) override {
    log_->balances.push_back(hundredths_db);
    return true;
  }
  std::vector<std::string> StageNames() const override { return {}; }
  bool SetEqualizerGain(int band, double gain_db) override {
    log_->equalizer.emplace_back(band, gain_db);
    return true;
  }
  audio::TapFailure InsertTap() override {
    log_->calls.push_back("InsertTap");
    return log_->tap_failure;
  }
  std::optional<audio::PcmFormat> TapFormat() const override { return std::nullopt; }
  bool CopyTapBuffer(std::vector<std::uint8_t>&) const override { return false; }
  std::vector<audio::GraphEvent> TakeEvents() override {
    std::vector<audio::GraphEvent> events(log_->pending_events.begin(), log_->pending_events.end());
    log_->pending_events.clear();
    return events;
  }

 private:
  bool Build(const char* name, const std::string& path) {
    log_->calls.push_back(name);
    log_->path = path;
    log_->snapshot_bytes = fs::FileSize(path).value_or(0);
    return log_->build_succeeds;
  }

  std::shared_ptr<FakeGraphLog> log_;
};

// Makes FakeMediaGraphs; each new graph starts from a copy of `script`.
class FakeMediaGraphFactory : public audio::MediaGraphFactory {
 public:
  std::unique_ptr<audio::MediaGraph> Create(std::function<void()> events_ready) override {
    auto log = std::make_shared<FakeGraphLog>();
    log->build_succeeds = script.build_succeeds;
    log->duration_s = script.duration_s;
    log->position_s = script.position_s;
    log->tap_failure = script.tap_failure;
    log->events_ready = std::move(events_ready);
    logs.push_back(log);
    return std::make_unique<FakeMediaGraph>(log);
  }

  // The graphs made so far, oldest first.
  std::vector<std::shared_ptr<FakeGraphLog>> logs;
  FakeGraphLog script;

  std::shared_ptr<FakeGraphLog> last() const { return logs.empty() ? nullptr : logs.back(); }
  // Graphs that got as far as a build call.
  std::vector<std::shared_ptr<FakeGraphLog>> built() const {
    std::vector<std::shared_ptr<FakeGraphLog>> result;
    for (const auto& log : logs) {
      if (log->Called("RenderFile") || log->Called("BuildMp3Snapshot")) result.push_back(log);
    }
    return result;
  }
  // Queues an event on the newest live graph and announces it as the real graph would.
  bool Fire(audio::GraphEvent event) {
    auto log = last();
    if (log == nullptr || log->destroyed) return false;
    log->pending_events.push_back(event);
    log->events_ready();
    return true;
  }
};

}  // namespace quillo::testing
