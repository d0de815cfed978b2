#include "platform/media/GstMediaGraphFactory.h"

#include <gst/gst.h>

#include <cstdlib>
#include <mutex>

#include "platform/media/GstMediaGraph.h"
#include "platform/media/SnapshotSource.h"

namespace quillo::audio {
namespace {

// MP3 goes to mpg123's decoder. decodebin otherwise takes libav's first (both have the same
// rank and libav's name sorts first), and libav brings ffmpeg's whole filter stack with its
// speech voices and GPU libraries, some 20 MB resident, into a process that only wanted MP3.
// WMA still goes to libav, loaded when such a song first plays. Only the registry's entry is
// changed: no plugin is loaded here.
void PreferLeanDecoders() {
  GstPluginFeature* mpg123 = gst_registry_lookup_feature(gst_registry_get(), "mpg123audiodec");
  if (mpg123 == nullptr) return;
  if (gst_plugin_feature_get_rank(mpg123) < GST_RANK_SECONDARY) {
    gst_plugin_feature_set_rank(mpg123, GST_RANK_SECONDARY);
  }
  gst_object_unref(mpg123);
}

bool InitialiseGstreamer() {
  static std::once_flag once;
  static bool initialised = false;
  std::call_once(once, [] {
    GError* raw_error = nullptr;
    initialised = gst_init_check(nullptr, nullptr, &raw_error) == TRUE;
    GErrorPtr error(raw_error);
    if (initialised) {
      SnapshotSource::Register();
      PreferLeanDecoders();
    }
  });
  return initialised;
}

}  // namespace

GstMediaGraphFactory::GstMediaGraphFactory(std::string sink_description)
    : sink_description_(std::move(sink_description)), initialised_(InitialiseGstreamer()) {}

std::jthread GstMediaGraphFactory::InitialiseInBackground() {
  return std::jthread([] { InitialiseGstreamer(); });
}

std::string GstMediaGraphFactory::SinkDescriptionFromEnvironment() {
  const char* text = std::getenv("QUILLO_AUDIO_SINK");
  return text != nullptr && *text != '\0' ? text : "autoaudiosink";
}

std::unique_ptr<MediaGraph> GstMediaGraphFactory::Create(std::function<void()> events_ready) {
  // Without GStreamer every build of the graph fails cleanly.
  return std::make_unique<GstMediaGraph>(sink_description_, std::move(events_ready));
}

}  // namespace quillo::audio
