#include "platform/media/GstMediaGraph.h"

#include <gst/audio/audio.h>
#include <gst/base/gsttypefindhelper.h>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "platform/media/SnapshotSource.h"

namespace quillo::audio {
namespace {

constexpr int kSilenceCentibels = -10000;
constexpr double kMaxEqualizerGainDb = 12.0;
// How much of a snapshot the type finders look at.
constexpr gsize kTypeFindBytes = 256 * 1024;
// The equaliser, volume and balance work on floats so that gains never clip in between.
constexpr const char* kProcessCaps = "audio/x-raw,format=F32LE,layout=interleaved";
constexpr const char* kTapCaps = "audio/x-raw,format=S16LE,layout=interleaved";

PcmFormat FormatOf(const GstAudioInfo& info) {
  return PcmFormat{GST_AUDIO_INFO_CHANNELS(&info), GST_AUDIO_INFO_WIDTH(&info),
                   GST_AUDIO_INFO_RATE(&info)};
}

GstObjectPtr<GstElement> MakeElement(const char* factory, const std::string& name) {
  GstElement* element = gst_element_factory_make(factory, name.c_str());
  if (element == nullptr) return nullptr;
  return GstObjectPtr<GstElement>(GST_ELEMENT(gst_object_ref_sink(element)));
}

GstObjectPtr<GstElement> MakeCapsFilter(const std::string& name, const char* caps_text) {
  GstObjectPtr<GstElement> filter = MakeElement("capsfilter", name);
  if (!filter) return nullptr;
  GstMiniPtr<GstCaps> caps(gst_caps_from_string(caps_text));
  g_object_set(filter.get(), "caps", caps.get(), nullptr);
  return filter;
}

std::optional<double> NanosecondsToSeconds(gboolean known, gint64 nanoseconds) {
  if (!known || nanoseconds < 0) return std::nullopt;
  return static_cast<double>(nanoseconds) / GST_SECOND;
}

std::string ErrorText(GstMessage* message) {
  GError* raw_error = nullptr;
  gchar* raw_debug = nullptr;
  gst_message_parse_error(message, &raw_error, &raw_debug);
  GErrorPtr error(raw_error);
  std::string text = error ? error->message : "error";
  if (GST_MESSAGE_SRC(message) != nullptr) {
    text = std::string(GST_OBJECT_NAME(GST_MESSAGE_SRC(message))) + ": " + text;
  }
  g_free(raw_debug);
  return text;
}

// decodebin's streaming thread: links the first audio stream to the common stages.
void OnDecodedPad(GstElement*, GstPad* pad, gpointer convert) {
  GstMiniPtr<GstCaps> caps(gst_pad_get_current_caps(pad));
  if (!caps) caps.reset(gst_pad_query_caps(pad, nullptr));
  if (!caps || gst_caps_get_size(caps.get()) == 0) return;
  const char* media = gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
  if (!g_str_has_prefix(media, "audio/")) return;
  GstObjectPtr<GstPad> sink(gst_element_get_static_pad(GST_ELEMENT(convert), "sink"));
  if (sink && !gst_pad_is_linked(sink.get())) gst_pad_link(pad, sink.get());
}

}  // namespace

GstMediaGraph::GstMediaGraph(std::string sink_description, std::function<void()> events_ready)
    : sink_description_(std::move(sink_description)), events_ready_(std::move(events_ready)) {}

GstMediaGraph::~GstMediaGraph() {
  TearDown();
}

double GstMediaGraph::VolumeToAmplitude(int centibels) {
  if (centibels <= kSilenceCentibels) return 0.0;
  return std::pow(10.0, std::min(centibels, 0) / 2000.0);
}

double GstMediaGraph::BalanceToPanorama(int hundredths_db) {
  const int attenuation = std::min(std::abs(hundredths_db), -kSilenceCentibels);
  const double side =
      attenuation >= -kSilenceCentibels ? 1.0 : 1.0 - VolumeToAmplitude(-attenuation);
  return hundredths_db < 0 ? -side : side;
}

bool GstMediaGraph::RenderFile(const std::string& path) {
  TearDown();
  last_error_.clear();
  if (!gst_is_initialized()) {
    last_error_ = "GStreamer is not initialised";
    return false;
  }
  GstObjectPtr<GstElement> source = MakeElement("filesrc", "SourceFilter");
  if (!source) {
    last_error_ = "no filesrc";
    return false;
  }
  g_object_set(source.get(), "location", path.c_str(), nullptr);
  return StartPipeline("decodebin", "Decoder", std::move(source));
}

bool GstMediaGraph::BuildMp3Snapshot(const std::string& path) {
  TearDown();
  last_error_.clear();
  if (!gst_is_initialized()) {
    last_error_ = "GStreamer is not initialised";
    return false;
  }
  std::shared_ptr<const SnapshotSource::Bytes> snapshot = SnapshotSource::TakeSnapshot(path);
  if (!snapshot) {
    last_error_ = "cannot read " + path;
    return false;
  }
  // An empty snapshot has nothing the parser could recognise: the build fails at once.
  if (snapshot->empty()) {
    last_error_ = "empty file " + path;
    return false;
  }
  // The MPEG audio parser locks on to any run of plausible frame headers, even in noise; a
  // snapshot that GStreamer's type finders do not take for MPEG audio (or its leading tag) fails.
  GstTypeFindProbability probability = GST_TYPE_FIND_NONE;
  GstMiniPtr<GstCaps> found(gst_type_find_helper_for_data(
      nullptr, snapshot->data(), std::min<gsize>(snapshot->size(), kTypeFindBytes), &probability));
  const char* type = found && gst_caps_get_size(found.get()) > 0
                         ? gst_structure_get_name(gst_caps_get_structure(found.get(), 0))
                         : "";
  const bool mpeg_audio = std::string_view(type) == "audio/mpeg" ||
                          std::string_view(type) == "application/x-id3" ||
                          std::string_view(type) == "application/x-apetag";
  if (!mpeg_audio || probability < GST_TYPE_FIND_LIKELY) {
    last_error_ = "not MPEG audio: " + path;
    return false;
  }
  GstObjectPtr<GstElement> source = SnapshotSource::Create(std::move(snapshot), "SourceFilter");
  if (!source) {
    last_error_ = "no snapshot source";
    return false;
  }
  return StartPipeline(nullptr, {}, std::move(source));
}

// `source_factory` names the dynamic decoder after `source` (decodebin), or is null for the
// hand-built MP3 chain.
bool GstMediaGraph::StartPipeline(const char* source_factory, const std::string& source_name,
                                  GstObjectPtr<GstElement> source) {
  std::vector<GstObjectPtr<GstElement>> head;
  head.push_back(std::move(source));
  if (source_factory != nullptr) {
    head.push_back(MakeElement(source_factory, source_name));
  } else {
    head.push_back(MakeElement("mpegaudioparse", "MPEG1Splitter"));
    head.push_back(MakeElement("mpg123audiodec", "MP3Decoder"));
  }
  std::vector<GstObjectPtr<GstElement>> tail;
  tail.push_back(MakeElement("audioconvert", "Convert"));
  tail.push_back(MakeElement("audioresample", "Resample"));
  tail.push_back(MakeCapsFilter("ProcessFormat", kProcessCaps));
  for (int band = 0; band < kEqualizerBands; ++band) {
    tail.push_back(MakeElement("equalizer-nbands", "ParamEq" + std::to_string(band)));
  }
  tail.push_back(MakeElement("volume", "Volume"));
  tail.push_back(MakeElement("audiopanorama", "Balance"));
  tail.push_back(MakeElement("audioconvert", "OutputConvert"));
  tail.push_back(MakeCapsFilter("Tap", kTapCaps));
  GError* raw_error = nullptr;
  GstElement* sink = gst_parse_bin_from_description(sink_description_.c_str(), TRUE, &raw_error);
  GErrorPtr sink_error(raw_error);
  if (sink != nullptr) {
    gst_object_ref_sink(sink);
    gst_object_set_name(GST_OBJECT(sink), "Renderer");
  }
  tail.emplace_back(sink);
  for (const auto& element : head) {
    if (!element) last_error_ = "a decoder element is missing";
  }
  for (const auto& element : tail) {
    if (!element)
      last_error_ = sink_error ? sink_error->message : "a processing element is missing";
  }
  if (!last_error_.empty()) return false;

  pipeline_.reset(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("QuilloGraph"))));
  for (auto* part : {&head, &tail}) {
    for (const auto& element : *part) {
      gst_bin_add(GST_BIN(pipeline_.get()), element.get());
      stage_names_.emplace_back(GST_OBJECT_NAME(element.get()));
    }
  }
  bool linked = true;
  for (std::size_t i = 1; i < head.size(); ++i) {
    linked = linked && gst_element_link(head[i - 1].get(), head[i].get());
  }
  for (std::size_t i = 1; i < tail.size(); ++i) {
    linked = linked && gst_element_link(tail[i - 1].get(), tail[i].get());
  }
  if (source_factory != nullptr) {
    g_signal_connect(head.back().get(), "pad-added", G_CALLBACK(OnDecodedPad), tail.front().get());
  } else {
    linked = linked && gst_element_link(head.back().get(), tail.front().get());
  }
  if (!linked) {
    last_error_ = "the stages do not link";
    TearDown();
    return false;
  }

  for (int band = 0; band < kEqualizerBands; ++band) {
    GstElement* stage = tail[3 + band].get();
    equalizer_[band] = stage;
    g_object_set(stage, "num-bands", 1u, nullptr);
    GObject* filter = gst_child_proxy_get_child_by_index(GST_CHILD_PROXY(stage), 0);
    // A single band starts as a shelf; every stage here is a peaking filter.
    g_object_set(filter, "type", 0, "freq", kBandCentreHz[band], "bandwidth",
                 kBandCentreHz[band] * kBandWidthRatio, "gain", 0.0, nullptr);
    g_object_unref(filter);
  }
  volume_ = tail[3 + kEqualizerBands].get();
  balance_ = tail[4 + kEqualizerBands].get();
  gst_util_set_object_arg(G_OBJECT(balance_), "method", "simple");
  gst_util_set_object_arg(G_OBJECT(tail[5 + kEqualizerBands].get()), "dithering", "none");
  tap_ = tail[6 + kEqualizerBands].get();
  GstObjectPtr<GstPad> tap_pad(gst_element_get_static_pad(tap_, "src"));
  gst_pad_add_probe(tap_pad.get(), GST_PAD_PROBE_TYPE_BUFFER, &GstMediaGraph::OnTapBuffer,
                    tap_state_.get(), nullptr);

  // A stream that ends before any audio reached the tap (nothing the parser recognised) prerolls
  // on its end alone; it is a failed build, not an empty song.
  if (!Preroll() || !TapFormat()) {
    if (last_error_.empty()) last_error_ = "no audio";
    TearDown();
    return false;
  }
  GstObjectPtr<GstBus> bus(gst_element_get_bus(pipeline_.get()));
  bus_watch_.reset(gst_bus_create_watch(bus.get()));
  g_source_set_callback(bus_watch_.get(), G_SOURCE_FUNC(&GstMediaGraph::OnBusMessage), this,
                        nullptr);
  GMainContext* context = g_main_context_ref_thread_default();
  g_source_attach(bus_watch_.get(), context);
  g_main_context_unref(context);
  return true;
}

bool GstMediaGraph::Preroll() {
  GstStateChangeReturn change = gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
  GstObjectPtr<GstBus> bus(gst_element_get_bus(pipeline_.get()));
  const auto deadline = std::chrono::steady_clock::now() + kPrerollTimeout;
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
        deadline - std::chrono::steady_clock::now());
    if (change == GST_STATE_CHANGE_FAILURE) left = std::chrono::nanoseconds(0);
    GstMiniPtr<GstMessage> message(gst_bus_timed_pop_filtered(
        bus.get(), std::max<std::int64_t>(0, left.count()),
        static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE)));
    if (!message) {
      if (change == GST_STATE_CHANGE_SUCCESS || change == GST_STATE_CHANGE_NO_PREROLL) return true;
      if (last_error_.empty()) {
        last_error_ = change == GST_STATE_CHANGE_FAILURE ? "the graph does not start"
                                                         : "the graph did not preroll in time";
      }
      return false;
    }
    if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
      last_error_ = ErrorText(message.get());
      return false;
    }
    if (GST_MESSAGE_SRC(message.get()) == GST_OBJECT(pipeline_.get())) return true;
  }
}

void GstMediaGraph::TearDown() {
  bus_watch_.reset();
  if (pipeline_) {
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    gst_element_get_state(pipeline_.get(), nullptr, nullptr,
                          std::chrono::nanoseconds(kStopTimeout).count());
    pipeline_.reset();
  }
  volume_ = balance_ = tap_ = nullptr;
  equalizer_.fill(nullptr);
  stage_names_.clear();
  events_.clear();
  error_reported_ = false;
  rate_ = 1.0;
  playing_ = stale_preroll_ = false;
  resume_position_ns_ = 0;
  std::lock_guard lock(tap_state_->mutex);
  tap_state_->recent.clear();
  tap_state_->caps.reset();
  tap_state_->format.reset();
}

bool GstMediaGraph::Run() {
  if (!pipeline_) return false;
  // The buffer waiting at the sink went through volume, balance and equaliser before they were
  // last changed; decode it again so that not even the first moments play with old settings
  // (a song started while muted would otherwise begin with a click at full volume).
  if (stale_preroll_) Seek(rate_, resume_position_ns_);
  if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    return false;
  }
  playing_ = true;
  return true;
}

bool GstMediaGraph::Pause() {
  if (!pipeline_) return false;
  gint64 position = 0;
  if (playing_ && gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &position)) {
    resume_position_ns_ = std::max<gint64>(0, position);
  }
  playing_ = false;
  return gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
}

bool GstMediaGraph::Seek(double rate, gint64 position_ns) {
  if (!gst_element_seek(pipeline_.get(), rate, GST_FORMAT_TIME,
                        static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                        GST_SEEK_TYPE_SET, position_ns, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE)) {
    return false;
  }
  resume_position_ns_ = position_ns;
  stale_preroll_ = false;
  return true;
}

void GstMediaGraph::SettingChanged() {
  if (!playing_) stale_preroll_ = true;
}

void GstMediaGraph::Stop() {
  if (!pipeline_) return;
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  gst_element_get_state(pipeline_.get(), nullptr, nullptr,
                        std::chrono::nanoseconds(kStopTimeout).count());
  rate_ = 1.0;
  playing_ = stale_preroll_ = false;
  resume_position_ns_ = 0;
}

std::optional<double> GstMediaGraph::DurationSeconds() {
  if (!pipeline_) return std::nullopt;
  gint64 nanoseconds = -1;
  gboolean known = gst_element_query_duration(pipeline_.get(), GST_FORMAT_TIME, &nanoseconds);
  return NanosecondsToSeconds(known, nanoseconds);
}

std::optional<double> GstMediaGraph::PositionSeconds() {
  if (!pipeline_) return std::nullopt;
  gint64 nanoseconds = -1;
  gboolean known = gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &nanoseconds);
  return NanosecondsToSeconds(known, nanoseconds);
}

bool GstMediaGraph::SetPositionSeconds(double seconds) {
  if (!pipeline_ || !std::isfinite(seconds)) return false;
  return Seek(rate_, static_cast<gint64>(std::llround(std::max(0.0, seconds) * GST_SECOND)));
}

bool GstMediaGraph::SetRate(double rate) {
  if (!pipeline_ || !(rate > 0.0) || !std::isfinite(rate)) return false;
  if (rate == rate_) return true;
  gint64 position = 0;
  if (!gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &position)) position = 0;
  if (!playing_) position = resume_position_ns_;
  if (!Seek(rate, std::max<gint64>(0, position))) return false;
  rate_ = rate;
  return true;
}

bool GstMediaGraph::SetVolume(int centibels) {
  if (volume_ == nullptr) return false;
  g_object_set(volume_, "volume", VolumeToAmplitude(centibels), nullptr);
  SettingChanged();
  return true;
}

bool GstMediaGraph::SetBalance(int hundredths_db) {
  if (balance_ == nullptr) return false;
  g_object_set(balance_, "panorama", static_cast<gfloat>(BalanceToPanorama(hundredths_db)),
               nullptr);
  SettingChanged();
  return true;
}

std::vector<std::string> GstMediaGraph::StageNames() const {
  return {stage_names_.rbegin(), stage_names_.rend()};
}

bool GstMediaGraph::SetEqualizerGain(int band, double gain_db) {
  if (band < 0 || band >= kEqualizerBands || equalizer_[band] == nullptr) return false;
  if (!std::isfinite(gain_db)) return false;
  GObject* filter = gst_child_proxy_get_child_by_index(GST_CHILD_PROXY(equalizer_[band]), 0);
  if (filter == nullptr) return false;
  g_object_set(filter, "gain", std::clamp(gain_db, -kMaxEqualizerGainDb, kMaxEqualizerGainDb),
               nullptr);
  g_object_unref(filter);
  SettingChanged();
  return true;
}

TapFailure GstMediaGraph::InsertTap() {
  if (tap_ == nullptr) return TapFailure::kCannotAddGrabber;
  return TapFailure::kNone;
}

std::optional<PcmFormat> GstMediaGraph::TapFormat() const {
  if (tap_ == nullptr) return std::nullopt;
  {
    std::lock_guard lock(tap_state_->mutex);
    if (tap_state_->format) return tap_state_->format;
  }
  // No buffer has passed the tap yet.
  GstObjectPtr<GstPad> pad(gst_element_get_static_pad(tap_, "src"));
  GstMiniPtr<GstCaps> caps(gst_pad_get_current_caps(pad.get()));
  GstAudioInfo info;
  if (!caps || !gst_audio_info_from_caps(&info, caps.get())) return std::nullopt;
  return FormatOf(info);
}

bool GstMediaGraph::CopyTapBuffer(std::vector<std::uint8_t>& out) const {
  std::lock_guard lock(tap_state_->mutex);
  if (tap_state_->recent.empty()) return false;
  out.assign(tap_state_->recent.begin(), tap_state_->recent.end());
  return true;
}

std::vector<GraphEvent> GstMediaGraph::TakeEvents() {
  return std::exchange(events_, {});
}

// Streaming thread. Appends the buffer's PCM to the window of recent audio: a decoder's buffer
// (1152 frames for MP3) is shorter than one spectrum frame, so one buffer alone is never enough.
GstPadProbeReturn GstMediaGraph::OnTapBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer tap) {
  auto* state = static_cast<TapState*>(tap);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  GstMiniPtr<GstCaps> caps(gst_pad_get_current_caps(pad));
  if (!caps) return GST_PAD_PROBE_OK;
  std::size_t frame_bytes = 0;
  {
    std::lock_guard lock(state->mutex);
    if (state->caps.get() != caps.get()) {
      GstAudioInfo audio;
      if (!gst_audio_info_from_caps(&audio, caps.get()) || GST_AUDIO_INFO_BPF(&audio) <= 0) {
        return GST_PAD_PROBE_OK;
      }
      state->format = FormatOf(audio);
      const auto bytes = std::size_t(GST_AUDIO_INFO_BPF(&audio));
      if (state->frame_bytes != bytes) state->recent.clear();
      state->frame_bytes = bytes;
      state->caps = std::move(caps);
    }
    frame_bytes = state->frame_bytes;
  }
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_PAD_PROBE_OK;
  const std::size_t limit = frame_bytes * kTapWindowFrames;
  // Whole frames only, the newest of them when the buffer alone is longer than the window.
  std::size_t size = map.size - map.size % frame_bytes;
  const std::uint8_t* data = map.data + (size > limit ? size - limit : 0);
  size = std::min(size, limit);
  {
    std::lock_guard lock(state->mutex);
    std::vector<std::uint8_t>& recent = state->recent;
    const std::size_t keep = std::min(recent.size(), limit - size);
    recent.erase(recent.begin(), recent.end() - std::ptrdiff_t(keep));
    recent.insert(recent.end(), data, data + size);
  }
  gst_buffer_unmap(buffer, &map);
  return GST_PAD_PROBE_OK;
}

// Window thread (the bus watch is attached to its context).
gboolean GstMediaGraph::OnBusMessage(GstBus*, GstMessage* message, gpointer graph) {
  auto* self = static_cast<GstMediaGraph*>(graph);
  // After an error the graph no longer plays: an end of stream that follows (a sink that failed
  // on its last write) must not read as a song played to its end.
  if (self->error_reported_) return G_SOURCE_CONTINUE;
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
      self->events_.push_back(GraphEvent::kComplete);
      break;
    case GST_MESSAGE_NEW_CLOCK:
      self->events_.push_back(GraphEvent::kClockChanged);
      break;
    case GST_MESSAGE_ERROR:
      self->error_reported_ = true;
      self->last_error_ = ErrorText(message);
      self->events_.push_back(GraphEvent::kError);
      break;
    default:
      return G_SOURCE_CONTINUE;
  }
  // The owner may destroy this graph from inside the callback: call a copy, touch nothing after.
  std::function<void()> events_ready = self->events_ready_;
  if (events_ready) events_ready();
  return G_SOURCE_CONTINUE;
}

}  // namespace quillo::audio
