#pragma once
// Makes GStreamer media graphs that play to one configured sink.
//
// The sink is a gst-launch style description: QUILLO_AUDIO_SINK when set (for example
// "wavenc ! filesink location=out.wav", or "fakesink sync=false" for a headless run), otherwise
// "autoaudiosink". Each build of each graph parses it anew, so a file sink is rewritten by every
// build; "filesink location=out.raw append=true" collects the raw S16LE output of all builds.
#include <string>
#include <thread>

#include "platform/media/MediaGraph.h"

namespace quillo::audio {

class GstMediaGraphFactory final : public MediaGraphFactory {
 public:
  // Initialises GStreamer once per process and registers the snapshot source. Any thread; the
  // graphs it creates belong to the thread that calls Create.
  explicit GstMediaGraphFactory(std::string sink_description = SinkDescriptionFromEnvironment());

  // Starts the once-per-process initialisation (GStreamer's registry read, some 20 ms) on a
  // thread of its own, so that it overlaps other start-up work; a factory made meanwhile waits
  // for it. The thread is joined when the handle goes. Call it after anything that changes the
  // environment (GStreamer reads it while it starts).
  [[nodiscard]] static std::jthread InitialiseInBackground();

  // QUILLO_AUDIO_SINK, or "autoaudiosink" when it is unset or empty.
  static std::string SinkDescriptionFromEnvironment();

  // False when GStreamer could not be initialised; every build then fails.
  bool initialised() const { return initialised_; }
  const std::string& sink_description() const { return sink_description_; }

  std::unique_ptr<MediaGraph> Create(std::function<void()> events_ready) override;

 private:
  std::string sink_description_;
  bool initialised_ = false;
};

}  // namespace quillo::audio
