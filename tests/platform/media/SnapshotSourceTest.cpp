// The snapshot source: a copy of what a file held when the graph was built, served by random
// access, with end of stream at the copy's end, whatever the writer does meanwhile.
#include "platform/media/SnapshotSource.h"

#include <fcntl.h>
#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <numeric>

#include "MediaTestAudio.h"
#include "platform/ipc/UniqueFd.h"
#include "platform/loop/MainLoop.h"
#include "platform/media/GstMediaGraphFactory.h"
#include "support/TempFolder.h"

namespace quillo::audio {
namespace {

using quillo::testing::TempFolder;
using namespace std::chrono_literals;

std::vector<std::uint8_t> Pattern(std::size_t size, std::size_t from = 0) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((from + i) * 7 + 3);
  return bytes;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
  return ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

class SnapshotSourceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(factory_.initialised()); }
  GstMediaGraphFactory factory_{"fakesink sync=false"};
  TempFolder folder_;
};

// A writer keeps the file open and goes on writing: the snapshot has what was written before it
// was taken, and a pipeline over it reads exactly those bytes and then ends.
TEST_F(SnapshotSourceTest, SeesTheBytesWrittenSoFarAndEndsThere) {
  const std::string path = folder_ / "growing.playpart";
  ipc::UniqueFd writer(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
  ASSERT_TRUE(writer.valid());
  ASSERT_TRUE(WriteAll(writer.get(), Pattern(100000)));
  auto snapshot = SnapshotSource::TakeSnapshot(path);
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(*snapshot, Pattern(100000));
  ASSERT_TRUE(WriteAll(writer.get(), Pattern(50000, 100000)));

  GstObjectPtr<GstElement> pipeline(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr))));
  GstObjectPtr<GstElement> source = SnapshotSource::Create(snapshot, "SourceFilter");
  ASSERT_TRUE(source);
  GstElement* sink = gst_element_factory_make("appsink", nullptr);
  g_object_set(sink, "sync", FALSE, nullptr);
  gst_bin_add_many(GST_BIN(pipeline.get()), source.get(), sink, nullptr);
  ASSERT_TRUE(gst_element_link(source.get(), sink));
  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  std::vector<std::uint8_t> received;
  for (;;) {
    GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 10 * GST_SECOND);
    if (sample == nullptr) break;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    ASSERT_TRUE(gst_buffer_map(buffer, &map, GST_MAP_READ));
    received.insert(received.end(), map.data, map.data + map.size);
    gst_buffer_unmap(buffer, &map);
    gst_sample_unref(sample);
  }
  EXPECT_TRUE(gst_app_sink_is_eos(GST_APP_SINK(sink)));
  EXPECT_EQ(received, Pattern(100000));
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
}

// Pull mode: reads at any offset, cut at the end, end of stream at and past it.
TEST_F(SnapshotSourceTest, AnswersRandomAccessReads) {
  auto bytes = std::make_shared<SnapshotSource::Bytes>(Pattern(10000));
  GstObjectPtr<GstElement> source = SnapshotSource::Create(bytes, "SourceFilter");
  ASSERT_TRUE(source);
  ASSERT_EQ(gst_element_set_state(source.get(), GST_STATE_READY), GST_STATE_CHANGE_SUCCESS);
  GstObjectPtr<GstPad> pad(gst_element_get_static_pad(source.get(), "src"));
  GstQuery* scheduling = gst_query_new_scheduling();
  ASSERT_TRUE(gst_pad_query(pad.get(), scheduling));
  EXPECT_TRUE(gst_query_has_scheduling_mode(scheduling, GST_PAD_MODE_PULL));
  gst_query_unref(scheduling);
  ASSERT_TRUE(gst_pad_activate_mode(pad.get(), GST_PAD_MODE_PULL, TRUE));
  gint64 size = 0;
  EXPECT_TRUE(gst_element_query_duration(source.get(), GST_FORMAT_BYTES, &size));
  EXPECT_EQ(size, 10000);

  struct Case {
    guint64 offset;
    guint length;
    GstFlowReturn flow;
    std::size_t expected;
  } cases[] = {
      {5000, 100, GST_FLOW_OK, 100},   {0, 100, GST_FLOW_OK, 100},   {9950, 100, GST_FLOW_OK, 50},
      {9999, 1, GST_FLOW_OK, 1},       {10000, 10, GST_FLOW_EOS, 0}, {20000, 10, GST_FLOW_EOS, 0},
      {1234, 8766, GST_FLOW_OK, 8766},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    GstBuffer* buffer = nullptr;
    ASSERT_EQ(gst_pad_get_range(pad.get(), c.offset, c.length, &buffer), c.flow);
    if (c.flow != GST_FLOW_OK) continue;
    ASSERT_NE(buffer, nullptr);
    std::vector<std::uint8_t> got(gst_buffer_get_size(buffer));
    gst_buffer_extract(buffer, 0, got.data(), got.size());
    gst_buffer_unref(buffer);
    EXPECT_EQ(got, Pattern(c.expected, c.offset));
  }
  gst_pad_activate_mode(pad.get(), GST_PAD_MODE_PULL, FALSE);
  gst_element_set_state(source.get(), GST_STATE_NULL);
}

TEST_F(SnapshotSourceTest, MissingAndEmptyFiles) {
  EXPECT_FALSE(SnapshotSource::TakeSnapshot(folder_ / "missing.mp3"));
  EXPECT_FALSE(SnapshotSource::TakeSnapshot(folder_.path()));  // a folder is no file
  const std::string empty = folder_ / "empty.mp3";
  ipc::UniqueFd(::open(empty.c_str(), O_WRONLY | O_CREAT, 0644));
  auto snapshot = SnapshotSource::TakeSnapshot(empty);
  ASSERT_TRUE(snapshot);
  EXPECT_TRUE(snapshot->empty());
}

// An MP3 whose download is half done: the graph over its snapshot plays what is there and
// reports the end, while the writer goes on.
TEST_F(SnapshotSourceTest, GraphOverAHalfWrittenMp3EndsAtTheSnapshotsEnd) {
  if (!testing::HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is needed";
  const std::string whole = folder_ / "whole.mp3";
  ASSERT_TRUE(testing::MakeTestAudio(whole, 8, "-c:a libmp3lame -b:a 128k"));
  auto bytes = SnapshotSource::TakeSnapshot(whole);
  ASSERT_TRUE(bytes);
  const std::string partial = folder_ / "partial.mp3";
  ipc::UniqueFd writer(::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
  const std::size_t half = bytes->size() / 2;
  ASSERT_EQ(::write(writer.get(), bytes->data(), half), static_cast<ssize_t>(half));

  loop::MainLoop loop;
  const std::string out = folder_ / "out.wav";
  GstMediaGraphFactory factory("wavenc ! filesink sync=false location=" + out);
  std::vector<GraphEvent> events;
  std::unique_ptr<MediaGraph> graph;
  graph = factory.Create([&] {
    for (GraphEvent event : graph->TakeEvents()) events.push_back(event);
  });
  ASSERT_TRUE(graph->BuildMp3Snapshot(partial));
  ASSERT_EQ(::write(writer.get(), bytes->data() + half, bytes->size() - half),
            static_cast<ssize_t>(bytes->size() - half));
  ASSERT_TRUE(graph->Run());
  ASSERT_TRUE(loop.PumpUntil(
      [&] { return !events.empty() && events.back() != GraphEvent::kClockChanged; }, 20s));
  EXPECT_EQ(events.back(), GraphEvent::kComplete);
  graph.reset();
  testing::Pcm played = testing::ReadWav(out);
  testing::Pcm reference = testing::PlainDecode(whole);
  // About half of the eight seconds, and exactly the song's first half.
  EXPECT_NEAR(played.frames() / 44100.0, 4.0, 0.3);
  ASSERT_LE(played.samples.size(), reference.samples.size());
  int largest = 0;
  for (std::size_t i = 0; i + 2 * 4608 < played.samples.size(); ++i) {
    largest = std::max(largest, std::abs(played.samples[i] - reference.samples[i]));
  }
  EXPECT_LE(largest, 1);
}

}  // namespace
}  // namespace quillo::audio
