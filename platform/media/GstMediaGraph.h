#pragma once
// The media graph on GStreamer. One pipeline per build:
//
//   RenderFile:        filesrc "SourceFilter" ! decodebin "Decoder" ! <tail>
//   BuildMp3Snapshot:  quillosnapshotsrc "SourceFilter" ! mpegaudioparse "MPEG1Splitter"
//                        ! mpg123audiodec "MP3Decoder" ! <tail>
//   <tail>:            audioconvert "Convert" ! audioresample "Resample" ! F32 interleaved
//                        ! equalizer-nbands "ParamEq0" ... "ParamEq9" (one peaking band each)
//                        ! volume "Volume" ! audiopanorama "Balance" (simple method, stereo out)
//                        ! audioconvert "OutputConvert" (no dither) ! S16LE interleaved "Tap"
//                        ! the sink bin "Renderer" (parsed from the sink description)
//
// Equaliser bands: centres 31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000 Hz, each with a
// bandwidth of 0.3 × its centre (about 0.43 octave). That is narrower than a classic octave
// graphic equaliser so that a preset's gain is what a sine at a band's centre gets (within about
// 1.5 dB even when the neighbours are set far apart); with octave-wide bands neighbours add up to
// 6 dB there. Bands at or above half the sample rate act at its top.
//
// Volume: centibels c map to the amplitude 10^(c/2000) (0 → 1.0, -2000 → 0.1); -10000 or less is
// silence. Balance b in hundredths of a decibel: b > 0 attenuates the left channel by b/100 dB,
// b < 0 the right one by -b/100 dB, ±10000 silences that side; on audiopanorama's simple method
// that is panorama = sign(b) × (1 - 10^(-|b|/2000)), and ±1 at ±10000.
//
// Window thread only (the thread that created it). Bus messages are read by a watch on that
// thread's GLib context; the tap's copy is made on the streaming thread under a lock. Events:
// the pipeline's new clock is kClockChanged, its end of stream kComplete, its first error kError;
// after kError the graph reports nothing more.
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/media/GstHandle.h"
#include "platform/media/MediaGraph.h"

namespace quillo::audio {

class GstMediaGraph final : public MediaGraph {
 public:
  static constexpr std::array<double, kEqualizerBands> kBandCentreHz = {
      31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
  static constexpr double kBandWidthRatio = 0.3;
  // How long a build waits for the first buffer to reach the sink before it gives up.
  static constexpr std::chrono::milliseconds kPrerollTimeout{3000};
  // How long Stop and destruction wait for the pipeline to reach the null state.
  static constexpr std::chrono::milliseconds kStopTimeout{2000};

  // `sink_description` is a gst-launch style description of the audio sink ("autoaudiosink",
  // "wavenc ! filesink location=out.wav"); it is parsed anew for every build. GStreamer must be
  // initialised (the factory does it).
  GstMediaGraph(std::string sink_description, std::function<void()> events_ready);
  ~GstMediaGraph() override;
  GstMediaGraph(const GstMediaGraph&) = delete;
  GstMediaGraph& operator=(const GstMediaGraph&) = delete;

  // Both builds replace any earlier pipeline of this graph and end prerolled (paused, the first
  // buffer at the sink) within kPrerollTimeout, or fail and leave no pipeline.
  bool RenderFile(const std::string& path) override;
  bool BuildMp3Snapshot(const std::string& path) override;

  // Plays. When volume, balance or an equaliser gain changed while the graph was not playing, the
  // buffer held at the sink predates the change; it is decoded again first (a flushing seek to
  // where it belongs) so that a song started muted does not begin with a moment at full volume.
  bool Run() override;
  bool Pause() override;
  // Sets the pipeline to the null state and waits for it (bounded); Run then starts from the top.
  void Stop() override;

  std::optional<double> DurationSeconds() override;
  std::optional<double> PositionSeconds() override;
  // A flushing, accurate seek; the pipeline keeps its state (paused or playing).
  bool SetPositionSeconds(double seconds) override;
  // Positive rates only; the same rate again is no seek.
  bool SetRate(double rate) override;

  bool SetVolume(int centibels) override;
  bool SetBalance(int hundredths_db) override;

  std::vector<std::string> StageNames() const override;
  bool SetEqualizerGain(int band, double gain_db) override;

  // The tap is part of every build and keeps the last buffer from the first one on (so a copy
  // exists as soon as the build returns); this only reports that it is there.
  TapFailure InsertTap() override;
  std::optional<PcmFormat> TapFormat() const override;
  bool CopyTapBuffer(std::vector<std::uint8_t>& out) const override;

  std::vector<GraphEvent> TakeEvents() override;

  // The text of the last error a build or the bus reported; empty when none.
  const std::string& LastError() const { return last_error_; }

  static double VolumeToAmplitude(int centibels);
  static double BalanceToPanorama(int hundredths_db);

 private:
  // What the streaming thread and the window thread share about the tap.
  // The latest PCM, oldest first, at most kTapWindowFrames frames of frame_bytes each.
  // The tap's format is read from its caps when they change, not for every buffer and tick.
  struct TapState {
    mutable std::mutex mutex;
    std::vector<std::uint8_t> recent;  // guarded by mutex
    std::size_t frame_bytes = 0;       // guarded by mutex
    GstMiniPtr<GstCaps> caps;          // the caps format was read from; guarded by mutex
    std::optional<PcmFormat> format;   // guarded by mutex
  };

  bool StartPipeline(const char* source_factory, const std::string& source_name,
                     GstObjectPtr<GstElement> source);
  bool Preroll();
  void TearDown();
  // A flushing, accurate seek; remembers the position for a later re-preroll.
  bool Seek(double rate, gint64 position_ns);
  // Volume, balance or equaliser changed: while not playing, the buffer held at the sink is stale.
  void SettingChanged();
  static gboolean OnBusMessage(GstBus* bus, GstMessage* message, gpointer graph);
  static GstPadProbeReturn OnTapBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer tap);

  const std::string sink_description_;
  const std::function<void()> events_ready_;
  GstObjectPtr<GstElement> pipeline_;
  // Owned by pipeline_; null without one.
  GstElement* volume_ = nullptr;
  GstElement* balance_ = nullptr;
  GstElement* tap_ = nullptr;
  std::array<GstElement*, kEqualizerBands> equalizer_{};
  std::vector<std::string> stage_names_;  // upstream first
  GSourcePtr bus_watch_;
  std::vector<GraphEvent> events_;
  bool error_reported_ = false;
  std::string last_error_;
  double rate_ = 1.0;
  bool playing_ = false;           // Run was the last state request
  bool stale_preroll_ = false;     // see SettingChanged
  gint64 resume_position_ns_ = 0;  // where the held buffer belongs: the build, last seek or pause
  std::unique_ptr<TapState> tap_state_ = std::make_unique<TapState>();
};

}  // namespace quillo::audio
