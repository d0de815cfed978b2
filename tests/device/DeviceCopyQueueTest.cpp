// The copy queue's worker: reports, companions, failures and a phone that goes away mid-copy.
#include <gtest/gtest.h>

#include <mutex>

#include "PhoneFixture.h"
#include "device/DeviceCopyQueue.h"
#include "platform/text/TextCodec.h"
#include "support/TempFolder.h"

namespace quillo::device {
namespace {

using testing::Bytes;
using testing::Put;

class Recorder : public DeviceCopyListener {
 public:
  void CopyStarted() override { Log("started"); }
  void FileStarting(const CopyTask& task, int index, int total) override {
    if (on_starting) on_starting(task);
    Log("starting " + Name(task) + " " + std::to_string(index) + "/" + std::to_string(total));
  }
  void FileCopied(const CopyTask& task) override { Log("copied " + Name(task)); }
  void FileFailed(const CopyTask& task) override { Log("failed " + Name(task)); }
  void QueueEmpty() override { Log("empty"); }

  std::vector<std::string> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }
  std::function<void(const CopyTask&)> on_starting;

 private:
  static std::string Name(const CopyTask& task) { return task.record.at("name"); }
  void Log(const std::string& event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
  }
  std::mutex mutex_;
  std::vector<std::string> events_;
};

class DeviceCopyQueueTest : public ::testing::Test {
 protected:
  CopyTask Task(const std::string& name, const std::string& source, const std::string& destination) {
    return CopyTask{{{"id", name}, {"name", name}}, source, destination, "d_x_l", CopyDirection::kToDevice, {}};
  }
  quillo::testing::TempFolder temp_;
  Recorder recorder_;
  DeviceCopyQueue queue_;
};

TEST_F(DeviceCopyQueueTest, CopiesSongsWithTheirCompanionsAndReportsEachStep) {
  const std::string library = temp_ / "music/";
  Put(library + "A/L/One.mp3", "one-bytes");
  Put(library + "A/L/One.lrc", "\xEF\xBB\xBF[00:01]歌词");
  Put(library + "A/L/album.jpg", "album");
  Put(library + "A/artist.jpg", "artist");
  Put(library + "A/L/Two.mp3", "two-bytes");
  const std::string phone = temp_ / "card/我的音乐/";
  Put(phone + "A/L/album.jpg", "old album");

  queue_.SetListener(&recorder_);
  EXPECT_EQ(queue_.Enqueue({Task("One", library + "A/L/One.mp3", phone + "A/L/One.mp3"),
                            Task("Two", library + "A/L/Two.mp3", phone + "A/L/Two.mp3"),
                            Task("Two", library + "A/L/Two.mp3", phone + "A/L/Two.mp3"),
                            Task("Gone", library + "missing.mp3", phone + "missing.mp3"),
                            Task("Empty", "", phone + "x.mp3")}),
            2);
  queue_.WaitUntilIdle();
  EXPECT_EQ(recorder_.Events(), (std::vector<std::string>{"started", "starting One 1/2", "copied One",
                                                          "starting Two 2/2", "copied Two", "empty"}));
  EXPECT_EQ(Bytes(phone + "A/L/One.mp3"), "one-bytes");
  EXPECT_EQ(Bytes(phone + "A/L/Two.mp3"), "two-bytes");
  EXPECT_EQ(Bytes(phone + "A/L/album.jpg"), "album") << "to the phone, companions replace";
  EXPECT_EQ(Bytes(phone + "A/artist.jpg"), "artist");
  EXPECT_EQ(Bytes(phone + "A/L/One.lrc"), text::Utf8ToGbk("[00:01]歌词")) << "the phone reads GBK";

  // The next batch counts from 1 again.
  queue_.Enqueue({Task("One", library + "A/L/One.mp3", temp_ / "back/One.mp3")});
  queue_.WaitUntilIdle();
  EXPECT_EQ(recorder_.Events().at(7), "starting One 1/1");
}

TEST_F(DeviceCopyQueueTest, FromThePhoneExistingCompanionsStay) {
  Put(temp_ / "card/A/L/S.mp3", "s");
  Put(temp_ / "card/A/L/S.lrc", "phone lyric");
  Put(temp_ / "lib/A/L/S.lrc", "library lyric");
  CopyTask task = Task("S", temp_ / "card/A/L/S.mp3", temp_ / "lib/A/L/S.mp3");
  task.direction = CopyDirection::kFromDevice;
  queue_.Enqueue({task});
  queue_.WaitUntilIdle();
  EXPECT_EQ(Bytes(temp_ / "lib/A/L/S.mp3"), "s");
  EXPECT_EQ(Bytes(temp_ / "lib/A/L/S.lrc"), "library lyric");
}

TEST_F(DeviceCopyQueueTest, APhoneGoneMidCopyFailsTheSongWithoutAHalfFileAndTheQueueGoesOn) {
  const std::string card = temp_ / "card/";
  Put(card + "list.lst", "lists");
  Put(temp_ / "src/a.mp3", std::string(1 << 20, 'a'));
  Put(temp_ / "src/b.mp3", "b");
  // The album folder disappears (and its name is taken by a file) just before "a" is copied.
  recorder_.on_starting = [&](const CopyTask& task) {
    if (task.record.at("name") != "a") return;
    fs::RemoveTree(card + "我的音乐/A");
    Put(card + "我的音乐/A", "not a folder");
  };
  queue_.SetListener(&recorder_);
  queue_.Enqueue({Task("a", temp_ / "src/a.mp3", card + "我的音乐/A/L/a.mp3"),
                  Task("b", temp_ / "src/b.mp3", card + "我的音乐/B/b.mp3")});
  queue_.WaitUntilIdle();
  EXPECT_EQ(recorder_.Events(), (std::vector<std::string>{"started", "starting a 1/2", "failed a",
                                                          "starting b 2/2", "copied b", "empty"}));
  EXPECT_FALSE(fs::PathExists(card + "我的音乐/A/L/a.mp3"));
  EXPECT_EQ(Bytes(card + "list.lst"), "lists");
  EXPECT_EQ(Bytes(card + "我的音乐/B/b.mp3"), "b");
}

TEST_F(DeviceCopyQueueTest, StopAbandonsTheCurrentFileAndDropsThePendingOnes) {
  Put(temp_ / "src/big.mp3", std::string(8 << 20, 'x'));
  Put(temp_ / "src/next.mp3", "n");
  std::mutex mutex;
  std::condition_variable started;
  bool starting = false;
  recorder_.on_starting = [&](const CopyTask&) {
    std::lock_guard lock(mutex);
    starting = true;
    started.notify_all();
  };
  queue_.SetListener(&recorder_);
  queue_.Enqueue({Task("big", temp_ / "src/big.mp3", temp_ / "dst/big.mp3"),
                  Task("next", temp_ / "src/next.mp3", temp_ / "dst/next.mp3")});
  {
    std::unique_lock lock(mutex);
    started.wait(lock, [&] { return starting; });
  }
  queue_.Stop();
  EXPECT_FALSE(queue_.Busy());
  // Pending tasks are dropped; on a busy machine the worker may have finished both before the
  // stop arrived, and then "next" is whole.
  if (fs::PathExists(temp_ / "dst/next.mp3")) {
    EXPECT_EQ(Bytes(temp_ / "dst/next.mp3"), "n");
  }
  EXPECT_FALSE(fs::PathExists(temp_ / "dst/big.mp3.quillo-part"));
  EXPECT_FALSE(fs::PathExists(temp_ / "dst/next.mp3.quillo-part"));
  // Whether the stop came in time or not, the song's name never holds a partial file.
  std::optional<std::uint64_t> size = fs::FileSize(temp_ / "dst/big.mp3");
  EXPECT_TRUE(!size || *size == (8u << 20));
  EXPECT_EQ(recorder_.Events().back(), "empty");

  // The queue works after a stop.
  queue_.Enqueue({Task("next", temp_ / "src/next.mp3", temp_ / "dst/next.mp3")});
  queue_.WaitUntilIdle();
  EXPECT_EQ(Bytes(temp_ / "dst/next.mp3"), "n");
}

}  // namespace
}  // namespace quillo::device
