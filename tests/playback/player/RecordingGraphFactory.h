#pragma once
// Wraps a real graph factory and notes, for every graph, when it was built, over how many bytes
// of the file, and when its tap first held PCM (the first buffer on its way into the sink).
// For the integration tests and the playback bench. Window thread.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "platform/media/MediaGraph.h"

namespace quillo::testing {

struct GraphBuildNote {
  std::string path;
  std::uint64_t snapshot_bytes = 0;
  bool snapshot = false;
  std::chrono::steady_clock::time_point build_started_at;
  std::chrono::steady_clock::time_point built_at;
  std::chrono::steady_clock::time_point first_pcm_at;  // zero until seen
  std::chrono::steady_clock::time_point ended_at;      // completion or error seen, zero before
  std::vector<double> seeks_s;
  bool live = true;
};

class RecordingGraph : public audio::MediaGraph {
 public:
  RecordingGraph(std::unique_ptr<audio::MediaGraph> inner, std::shared_ptr<GraphBuildNote> note)
      : inner_(std::move(inner)), note_(std::move(note)) {}
  ~RecordingGraph() override { note_->live = false; }

  bool RenderFile(const std::string& path) override {
    note_->build_started_at = std::chrono::steady_clock::now();
    return Built(path, false, inner_->RenderFile(path));
  }
  bool BuildMp3Snapshot(const std::string& path) override {
    note_->build_started_at = std::chrono::steady_clock::now();
    // The size is taken before the build, as the snapshot is.
    note_->snapshot_bytes = fs::FileSize(path).value_or(0);
    return Built(path, true, inner_->BuildMp3Snapshot(path));
  }
  bool Run() override { return inner_->Run(); }
  bool Pause() override { return inner_->Pause(); }
  void Stop() override { inner_->Stop(); }
  std::optional<double> DurationSeconds() override { return inner_->DurationSeconds(); }
  std::optional<double> PositionSeconds() override { return inner_->PositionSeconds(); }
  bool SetPositionSeconds(double seconds) override {
    note_->seeks_s.push_back(seconds);
    return inner_->SetPositionSeconds(seconds);
  }
  bool SetRate(double rate) override { return inner_->SetRate(rate); }
  bool SetVolume(int centibels) override { return inner_->SetVolume(centibels); }
  bool SetBalance(int hundredths_db) override { return inner_->SetBalance(hundredths_db); }
  std::vector<std::string> StageNames() const override { return inner_->StageNames(); }
  bool SetEqualizerGain(int band, double gain_db) override {
    return inner_->SetEqualizerGain(band, gain_db);
  }
  audio::TapFailure InsertTap() override { return inner_->InsertTap(); }
  std::optional<audio::PcmFormat> TapFormat() const override { return inner_->TapFormat(); }
  bool CopyTapBuffer(std::vector<std::uint8_t>& out) const override {
    return inner_->CopyTapBuffer(out);
  }
  std::vector<audio::GraphEvent> TakeEvents() override {
    std::vector<audio::GraphEvent> events = inner_->TakeEvents();
    for (audio::GraphEvent event : events) {
      if (event != audio::GraphEvent::kClockChanged &&
          note_->ended_at == std::chrono::steady_clock::time_point{}) {
        note_->ended_at = std::chrono::steady_clock::now();
      }
    }
    return events;
  }

  // Notes the first PCM at the tap; call often (the bench polls it from the loop).
  void Poll() {
    if (note_->first_pcm_at != std::chrono::steady_clock::time_point{}) return;
    if (inner_->CopyTapBuffer(scratch_)) note_->first_pcm_at = std::chrono::steady_clock::now();
  }

 private:
  bool Built(const std::string& path, bool snapshot, bool ok) {
    note_->path = path;
    note_->snapshot = snapshot;
    if (!snapshot) note_->snapshot_bytes = fs::FileSize(path).value_or(0);
    note_->built_at = std::chrono::steady_clock::now();
    return ok;
  }

  std::unique_ptr<audio::MediaGraph> inner_;
  std::shared_ptr<GraphBuildNote> note_;
  std::vector<std::uint8_t> scratch_;
};

class RecordingGraphFactory : public audio::MediaGraphFactory {
 public:
  explicit RecordingGraphFactory(audio::MediaGraphFactory& inner) : inner_(inner) {}

  std::unique_ptr<audio::MediaGraph> Create(std::function<void()> events_ready) override {
    auto note = std::make_shared<GraphBuildNote>();
    notes.push_back(note);
    auto graph = std::make_unique<RecordingGraph>(inner_.Create(std::move(events_ready)), note);
    current = graph.get();
    current_note = note;
    return graph;
  }
  // Polls the newest graph's tap while it lives.
  void Poll() {
    if (current_note != nullptr && current_note->live && current != nullptr) current->Poll();
  }

  std::vector<std::shared_ptr<GraphBuildNote>> notes;

 private:
  audio::MediaGraphFactory& inner_;
  RecordingGraph* current = nullptr;
  std::shared_ptr<GraphBuildNote> current_note;
};

}  // namespace quillo::testing
