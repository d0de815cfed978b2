#pragma once
// One playback graph: a song's file decoded to the audio sink, with the stages the player needs
// on the way (ten equaliser bands, volume and balance, an analysis tap that keeps a copy of the
// last PCM buffer). The player builds a new graph for every start and every rebuild and releases
// it by destroying it.
//
// Window thread only. The graph's own streaming threads never call back into the player: events
// (clock changed, end of stream, error) are queued and the owner is told through the callback it
// gave the factory, which runs on the window thread; the owner then drains them with TakeEvents.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillo::audio {

enum class GraphEvent {
  kClockChanged,  // the pipeline (re)started its clock: playing
  kComplete,      // end of stream reached the sink
  kError,         // a streaming error; the graph no longer plays
};

struct PcmFormat {
  int channels = 0;
  int bits_per_sample = 0;
  int sample_rate = 0;
};

// How much of the latest PCM the analysis tap keeps, in sample frames (one spectrum frame).
inline constexpr int kTapWindowFrames = 2048;

// Where the analysis tap could not be put; each has the player's message.
enum class TapFailure {
  kNone,
  kNoRendererOutputPin,     // "找不到喇叭的连接Pin"
  kCannotDisconnectOutput,  // "不能断开喇叭的连接"
  kNoRendererInputPin,      // "找不到喇叭的输入Pin"
  kCannotDisconnectInput,   // "不能断开喇叭的输入Pin"
  kCannotAddGrabber,        // "不能加入Sample Grabber"
  kCannotConnectGrabber,    // "不能连接Sampler"
  kCannotConnectRenderer,   // "不能连接喇叭"
};

inline constexpr int kEqualizerBands = 10;

class MediaGraph {
 public:
  virtual ~MediaGraph() = default;

  // Builds the graph over `path` with the framework's own file source and decoder choice (a
  // file that is still being written is read as far as it goes). False: nothing plays.
  virtual bool RenderFile(const std::string& path) = 0;
  // Builds the hand-made MP3 chain over a snapshot of what `path` holds now: snapshot source,
  // MPEG audio parser, MP3 decoder, then the common stages and the sink. The snapshot never
  // grows; playing to its end gives kComplete. False when the file cannot be read whole or the
  // chain does not link.
  virtual bool BuildMp3Snapshot(const std::string& path) = 0;

  virtual bool Run() = 0;
  virtual bool Pause() = 0;
  virtual void Stop() = 0;

  // Seconds; nothing when the graph cannot tell (yet).
  virtual std::optional<double> DurationSeconds() = 0;
  virtual std::optional<double> PositionSeconds() = 0;
  virtual bool SetPositionSeconds(double seconds) = 0;
  virtual bool SetRate(double rate) = 0;

  // Renderer volume in hundredths of a decibel: 0 full, -10000 silence.
  virtual bool SetVolume(int centibels) = 0;
  // Balance in hundredths of a decibel of attenuation: -10000 (left only) .. 10000 (right only).
  virtual bool SetBalance(int hundredths_db) = 0;

  // The names of the graph's stages, downstream first, e.g. "ParamEq0" ... "ParamEq9".
  virtual std::vector<std::string> StageNames() const = 0;
  // Gain in dB (-12..12) of the equaliser stage "ParamEq<band>"; false when there is none.
  virtual bool SetEqualizerGain(int band, double gain_db) = 0;

  // Puts the analysis tap in front of the sink (after every successful build).
  virtual TapFailure InsertTap() = 0;
  virtual std::optional<PcmFormat> TapFormat() const = 0;
  // Copies the latest PCM that passed the tap, whole sample frames, oldest first: the last
  // kTapWindowFrames frames joined across the decoder's buffers (which are usually shorter), or
  // what has passed so far. False when nothing has.
  virtual bool CopyTapBuffer(std::vector<std::uint8_t>& out) const = 0;

  // The events queued since the last call, in order.
  virtual std::vector<GraphEvent> TakeEvents() = 0;
};

class MediaGraphFactory {
 public:
  virtual ~MediaGraphFactory() = default;
  // `events_ready` runs on the window thread whenever TakeEvents has something new; it is never
  // called after the graph is destroyed.
  virtual std::unique_ptr<MediaGraph> Create(std::function<void()> events_ready) = 0;
};

}  // namespace quillo::audio
