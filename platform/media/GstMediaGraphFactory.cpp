#include "platform/media/GstMediaGraphFactory.h"

#include <gst/gst.h>

#include <cstdlib>
#include <mutex>

#include "platform/media/GstMediaGraph.h"
#include "platform/media/SnapshotSource.h"

namespace quillo::audio {
namespace {

bool InitialiseGstreamer() {
  static std::once_flag once;
  static bool initialised = false;
  std::call_once(once, [] {
    GError* raw_error = nullptr;
    initialised = gst_init_check(nullptr, nullptr, &raw_error) == TRUE;
    GErrorPtr error(raw_error);
    if (initialised) SnapshotSource::Register();
  });
  return initialised;
}

}  // namespace

GstMediaGraphFactory::GstMediaGraphFactory(std::string sink_description)
    : sink_description_(std::move(sink_description)), initialised_(InitialiseGstreamer()) {}

std::string GstMediaGraphFactory::SinkDescriptionFromEnvironment() {
  const char* text = std::getenv("QUILLO_AUDIO_SINK");
  return text != nullptr && *text != '\0' ? text : "autoaudiosink";
}

std::unique_ptr<MediaGraph> GstMediaGraphFactory::Create(std::function<void()> events_ready) {
  // Without GStreamer every build of the graph fails cleanly.
  return std::make_unique<GstMediaGraph>(sink_description_, std::move(events_ready));
}

}  // namespace quillo::audio
