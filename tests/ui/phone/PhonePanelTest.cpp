// The phone panel without a display: sizes, arrival and removal, copying dropped songs with
// progress, the confirmation for songs not downloaded, and a phone pulled out mid-copy.
#include <gtest/gtest.h>

#include <fstream>

#include "device/DeviceIds.h"
#include "platform/crypto/Crypto.h"
#include "platform/fs/FileSystem.h"
#include "platform/loop/MainLoop.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/phone/PhonePanel.h"
#include "ui/phone/PhoneSpaceText.h"

namespace quillo::ui {
namespace {

using namespace std::chrono_literals;

TEST(PhoneSpaceTextTest, SizesAndTheUsedSpaceBar) {
  constexpr std::uint64_t kMiB = 1024 * 1024;
  EXPECT_EQ(FormatSize(0, true), "-");
  EXPECT_EQ(FormatSize(0, false), "0B");
  EXPECT_EQ(FormatSize(1023, true), "1023B");
  EXPECT_EQ(FormatSize(kMiB - 1, true), "1023K");
  EXPECT_EQ(FormatSize(kMiB, true), "1M");
  EXPECT_EQ(FormatSize(1024 * kMiB - 1, true), "1023M");
  EXPECT_EQ(FormatSize(1024 * kMiB, true), "1.00G");
  EXPECT_EQ(FormatSize(3 * 1024 * kMiB + 512 * kMiB + 1023, true), "3.50G") << "whole MiB only";

  UsedSpace space = MeasureUsedSpace(2048 * kMiB, 512 * kMiB, 400);
  EXPECT_EQ(space.text, "1.50G / 2.00G");
  EXPECT_EQ(space.percent, 75);
  EXPECT_EQ(space.bar_width, 300);
  space = MeasureUsedSpace(0, 0, 400);
  EXPECT_EQ(space.text, "- / -");
  EXPECT_EQ(space.bar_width, 0);
  EXPECT_EQ(MeasureUsedSpace(1000, 2000, 100).percent, 0) << "more free than total reads as empty";
}

class PhonePanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.Open(false));
    card_ = temp_ / "card/";
    fs::CreateFolders(card_);
    panel_ = std::make_unique<PhonePanel>(loop_, runtime_, nullptr);
    PhonePanel::WindowHooks hooks;
    hooks.wait = [this](const std::string& text, std::function<void()> work) {
      waits_.push_back(text);
      work();
    };
    hooks.confirm_copy = [this](const std::vector<std::string>& names) {
      asked_ = names;
      return confirm_;
    };
    hooks.phone_changed = [this] { ++changes_; };
    hooks.library_changed = [this](const std::string& list_id) { library_changes_.push_back(list_id); };
    hooks.report = [this](const std::string& status) {
      statuses_.push_back(status);
      if (on_status) on_status(status);
    };
    panel_->SetWindowHooks(std::move(hooks));
  }
  void TearDown() override {
    panel_.reset();
    runtime_.Close();
  }
  store::MusicRecord LocalSong(const std::string& name, std::size_t bytes) {
    const std::string path = temp_ / ("songs/" + name + ".mp3");
    fs::CreateFolders(temp_ / "songs/");
    std::ofstream(path) << std::string(bytes, 'x');
    std::optional<std::string> id = runtime_.library().AddLocalFile(path);
    EXPECT_TRUE(id);
    return runtime_.library().FindMusic(id.value_or("")).value_or(store::MusicRecord{});
  }
  std::string ListId(const std::string& name) {
    return device::ListIdForName(panel_->device_id(), name);
  }
  void Connect() {
    panel_->OnDeviceChanged(PhonePanel::Descriptor{card_, ""});
    ASSERT_TRUE(panel_->DeviceConnected());
  }
  bool WaitForTheQueue() {
    return loop_.PumpUntil([&] { return !panel_->copy_queue().Busy() && !panel_->copying() &&
                                        !statuses_.empty(); }, 10s);
  }

  loop::MainLoop loop_;
  quillo::testing::TempFolder temp_;
  store::StoreRuntime runtime_{temp_ / "data/"};
  std::unique_ptr<PhonePanel> panel_;
  std::string card_;
  std::vector<std::string> waits_, statuses_, asked_, library_changes_;
  std::function<void(const std::string&)> on_status;
  bool confirm_ = true;
  int changes_ = 0;
};

TEST_F(PhonePanelTest, ArrivalReadsThePhoneOnceAndRemovalForgetsIt) {
  panel_->devices().OpenDevice(device::PhoneRoots(card_));  // lists to find on arrival
  ASSERT_TRUE(panel_->devices().CreateDeviceList(device::DeviceToken(card_), "p1", "手机列表").size());
  ASSERT_TRUE(panel_->devices().SaveDevice(device::DeviceToken(card_)));
  panel_->devices().CloseDevice(device::DeviceToken(card_));

  Connect();
  EXPECT_EQ(waits_, std::vector<std::string>{PhonePanel::kReadingText});
  EXPECT_EQ(changes_, 1);
  ASSERT_EQ(panel_->Lists().size(), 2u);
  EXPECT_EQ(panel_->Lists()[1].name, "手机列表");
  EXPECT_GT(panel_->total_bytes(), 0u);

  // The same phone reported again is not read again.
  panel_->OnDeviceChanged(PhonePanel::Descriptor{card_, ""});
  EXPECT_EQ(waits_.size(), 1u);
  EXPECT_EQ(changes_, 1);

  panel_->OnDeviceChanged(std::nullopt);
  EXPECT_FALSE(panel_->DeviceConnected());
  EXPECT_TRUE(panel_->Lists().empty());
  EXPECT_EQ(changes_, 2);
  EXPECT_TRUE(fs::FileExists(card_ + "手机列表.lst")) << "nothing is written to a phone that left";
}

TEST_F(PhonePanelTest, DroppedSongsAreCopiedWithProgressAndTheListsWrittenBack) {
  Connect();
  const std::string list = panel_->CreateList("p1", "拷贝");
  store::MusicRecord one = LocalSong("One", 1000);
  store::MusicRecord two = LocalSong("Two", 2000);
  ASSERT_TRUE(panel_->CopySongs(list, {one, two}));
  ASSERT_TRUE(WaitForTheQueue());
  EXPECT_EQ(statuses_, (std::vector<std::string>{"正在复制(1/2): One", "正在复制(2/2): Two", ""}));
  EXPECT_EQ(fs::FileSize(card_ + "我的音乐/未知歌手/未知专辑/Two.mp3"), 2000u);
  std::vector<store::MusicRecord> records = panel_->devices().DeviceListRecords(list);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].at("fileName"), "file://" + card_ + "我的音乐/未知歌手/未知专辑/One.mp3");
  EXPECT_EQ(waits_.back(), PhonePanel::kUpdatingText);
  EXPECT_EQ(fs::FileSize(card_ + "拷贝.lst"), 2u * 522u) << "the device update wrote the list";
  EXPECT_TRUE(asked_.empty());

  // Songs already on the phone only join another list; nothing is copied.
  statuses_.clear();
  const std::string other = panel_->CreateList("p2", "另一个");
  ASSERT_TRUE(panel_->CopySongs(other, {one}));
  EXPECT_FALSE(panel_->copy_queue().Busy());
  EXPECT_EQ(panel_->devices().DeviceListRecords(other).size(), 1u);
  EXPECT_EQ(fs::FileSize(card_ + "另一个.lst"), 522u);
}

TEST_F(PhonePanelTest, PhoneSongsAreCopiedIntoTheLibraryAndJoinTheTargetList) {
  Connect();
  const std::string phone_file = card_ + "我的音乐/歌手/专辑/机上.mp3";
  fs::CreateFolders(fs::ParentFolder(phone_file));
  std::ofstream(phone_file) << std::string(5000, 'p');
  std::ofstream(card_ + "我的音乐/歌手/专辑/机上.lrc") << "[00:01]词";
  store::MusicRecord on_phone{{"id", "ex-0123"}, {"name", "机上"}, {"artist_name", "歌手"},
                              {"album_name", "专辑"}, {"fileName", "file://" + phone_file}};
  ASSERT_TRUE(panel_->devices().AddToDeviceList(on_phone, "d_" + panel_->device_id() + "_"));
  on_phone = panel_->devices().DeviceListRecords("d_" + panel_->device_id() + "_").at(0);
  ASSERT_EQ(on_phone.at("id"), "d_" + panel_->device_id() + "_ex-0123");
  // Another library song already owns the name the naming rules give: it is not overwritten.
  const std::string music = runtime_.store().FolderPath("music");
  fs::CreateFolders(music + "歌手/专辑/");
  std::ofstream(music + "歌手/专辑/机上.mp3") << "other";
  ASSERT_TRUE(runtime_.library().AddMusic({{"id", "ex-9999"}, {"name", "机上"}, {"artist_name", "歌手"},
                                           {"album_name", "专辑"}, {"fileName", "歌手/专辑/机上.mp3"}}));
  const std::string playlist = "0123456789ABCDEF0123456789ABCDEF";
  runtime_.playlists().SetPlaylistName(playlist, "收藏");

  ASSERT_TRUE(panel_->CopyFromPhone(playlist, {on_phone}));
  ASSERT_TRUE(WaitForTheQueue());
  EXPECT_EQ(statuses_, (std::vector<std::string>{"正在复制(1/1): 机上", ""}));
  std::optional<store::MusicRecord> copied = runtime_.library().FindMusic("ex-0123");
  ASSERT_TRUE(copied) << "the library id is the phone id without its device prefix";
  EXPECT_EQ(copied->at("status"), "2");
  EXPECT_EQ(copied->at("fileName"), "歌手/专辑/机上-ex-0123.mp3");
  EXPECT_EQ(fs::FileSize(music + "歌手/专辑/机上-ex-0123.mp3"), 5000u);
  EXPECT_EQ(fs::ReadWholeFile(music + "歌手/专辑/机上.mp3").value_or(""), "other");
  EXPECT_EQ(fs::ReadWholeFile(music + "歌手/专辑/机上-ex-0123.lrc").value_or(""), "[00:01]词");
  std::vector<store::MusicRecordPtr> in_list = runtime_.playlists().ListRecords(playlist);
  ASSERT_EQ(in_list.size(), 1u);
  EXPECT_EQ(store::IdOf(in_list[0]), "ex-0123");
  EXPECT_EQ(library_changes_, std::vector<std::string>{playlist});
  EXPECT_TRUE(fs::FileExists(phone_file)) << "the phone keeps its song";

  // Asked again, the song is in the library with its file: no second copy.
  statuses_.clear();
  ASSERT_TRUE(panel_->CopyFromPhone("", {on_phone}));
  EXPECT_FALSE(panel_->copy_queue().Busy());
  EXPECT_TRUE(statuses_.empty());
  EXPECT_FALSE(panel_->CopyFromPhone("", {store::MusicRecord{{"id", "d_other_ex-1"}, {"fileName", "x"}}}))
      << "another phone's song";
}

TEST_F(PhonePanelTest, SortingAPhoneListRewritesItOnThePhoneAscending) {
  Connect();
  const std::string list = panel_->CreateList("p1", "排序");
  store::MusicRecord b = LocalSong("B", 10);
  store::MusicRecord a = LocalSong("A", 20);
  ASSERT_TRUE(panel_->CopySongs(list, {b, a}));
  ASSERT_TRUE(WaitForTheQueue());
  auto names = [&] {
    std::vector<std::string> out;
    for (const store::MusicRecord& record : panel_->devices().DeviceListRecords(list)) out.push_back(record.at("name"));
    return out;
  };
  ASSERT_EQ(names(), (std::vector<std::string>{"B", "A"}));
  EXPECT_TRUE(panel_->CanSortList(list));
  EXPECT_EQ(panel_->ListSortColumn(list), "");
  EXPECT_TRUE(panel_->SortList(list, "name"));
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(panel_->ListSortColumn(list), "name");
  const std::string sorted = fs::ReadWholeFile(card_ + "排序.lst").value_or("");
  ASSERT_EQ(sorted.size(), 2u * 522u) << "the device update wrote the sorted list";
  EXPECT_LT(sorted.find(std::string("A\0.\0m\0p\0", 8)), sorted.find(std::string("B\0.\0m\0p\0", 8)));
  // Turned round in the store, the command still sorts ascending.
  ASSERT_TRUE(panel_->devices().SortDeviceList(list, "name", false));
  EXPECT_EQ(names(), (std::vector<std::string>{"B", "A"}));
  EXPECT_TRUE(panel_->SortList(list, "name"));
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "B"}));
  // The all-songs list is never sorted; another phone's list is not this panel's.
  EXPECT_FALSE(panel_->CanSortList("d_" + panel_->device_id() + "_"));
  EXPECT_FALSE(panel_->SortList("d_" + panel_->device_id() + "_", "name"));
  EXPECT_FALSE(panel_->SortList("d_elsewhere_x", "name"));
}

TEST_F(PhonePanelTest, SongsNotDownloadedNeedTheUsersWord) {
  Connect();
  const std::string list = panel_->CreateList("p1", "拷贝");
  store::MusicRecord pending{{"id", "123"}, {"name", "未下载"}, {"fileName", ""}};
  store::MusicRecord one = LocalSong("One", 10);
  confirm_ = false;
  EXPECT_FALSE(panel_->CopySongs(list, {pending, one}));
  EXPECT_EQ(asked_, std::vector<std::string>{"未下载"});
  EXPECT_FALSE(panel_->copy_queue().Busy());
  EXPECT_FALSE(fs::PathExists(card_ + "我的音乐"));

  confirm_ = true;
  EXPECT_TRUE(panel_->CopySongs(list, {pending, one}));
  ASSERT_TRUE(WaitForTheQueue());
  EXPECT_EQ(panel_->devices().DeviceListRecords(list).size(), 1u) << "only the downloaded song";
  EXPECT_FALSE(panel_->CopySongs("d_elsewhere_x", {one})) << "not this phone's list";
}

TEST_F(PhonePanelTest, APhonePulledOutMidCopyStopsTheCopyAndKeepsItsLists) {
  Connect();
  const std::string list = panel_->CreateList("p1", "拷贝");
  panel_->StartUpdate();
  const std::string lists_before = fs::ReadWholeFile(card_ + "拷贝.lst").value_or("?");
  const std::string config_before = fs::ReadWholeFile(card_ + "@MusicPlayer/MPConfig.ini").value_or("?");
  store::MusicRecord big = LocalSong("Big", 32 << 20);
  store::MusicRecord next = LocalSong("Next", 10);
  on_status = [&](const std::string& status) {
    if (status.rfind("正在复制(1/", 0) == 0) panel_->OnDeviceChanged(std::nullopt);
  };
  ASSERT_TRUE(panel_->CopySongs(list, {big, next}));
  ASSERT_TRUE(loop_.PumpUntil([&] { return !panel_->DeviceConnected(); }, 10s));
  loop_.PumpUntil([&] { return false; }, 300ms);  // reports still queued arrive and change nothing
  EXPECT_FALSE(panel_->copy_queue().Busy());
  EXPECT_FALSE(panel_->copying());
  EXPECT_EQ(fs::ReadWholeFile(card_ + "拷贝.lst").value_or("!"), lists_before);
  EXPECT_EQ(fs::ReadWholeFile(card_ + "@MusicPlayer/MPConfig.ini").value_or("!"), config_before);
  EXPECT_FALSE(fs::PathExists(card_ + "我的音乐/未知歌手/未知专辑/Next.mp3")) << "pending copies dropped";
  EXPECT_FALSE(fs::PathExists(card_ + "我的音乐/未知歌手/未知专辑/Big.mp3.quillo-part"));
  std::optional<std::uint64_t> size = fs::FileSize(card_ + "我的音乐/未知歌手/未知专辑/Big.mp3");
  EXPECT_TRUE(!size || *size == (32u << 20)) << "never a half file under the song's name";
}

TEST_F(PhonePanelTest, ACardFolderThatVanishesMidCopyIsForgottenAndNeverRecreated) {
  Connect();
  const std::string list = panel_->CreateList("p1", "拷贝");
  panel_->StartUpdate();
  const std::string list_before = fs::ReadWholeFile(card_ + "拷贝.lst").value_or("?");
  const std::string config_before = fs::ReadWholeFile(card_ + "@MusicPlayer/MPConfig.ini").value_or("?");
  store::MusicRecord big = LocalSong("Big", 16 << 20);
  store::MusicRecord next = LocalSong("Next", 10);
  // The mount point goes away with the phone's files still on it (moved elsewhere here).
  const std::string gone = temp_ / "gone/";
  on_status = [&](const std::string& status) {
    if (status.rfind("正在复制(1/", 0) == 0) fs::RenamePath(card_.substr(0, card_.size() - 1), gone.substr(0, gone.size() - 1));
  };
  ASSERT_TRUE(panel_->CopySongs(list, {big, next}));
  ASSERT_TRUE(loop_.PumpUntil([&] { return !panel_->DeviceConnected(); }, 10s)) << "the phone is forgotten";
  loop_.PumpUntil([&] { return !panel_->copy_queue().Busy(); }, 10s);
  loop_.PumpUntil([&] { return false; }, 300ms);
  EXPECT_FALSE(fs::PathExists(card_)) << "no folder is created where the phone was";
  EXPECT_EQ(changes_, 2);
  EXPECT_TRUE(panel_->Lists().empty());
  EXPECT_EQ(fs::ReadWholeFile(gone + "拷贝.lst").value_or("!"), list_before);
  EXPECT_EQ(fs::ReadWholeFile(gone + "@MusicPlayer/MPConfig.ini").value_or("!"), config_before);
  for (const char* name : {"Big.mp3", "Next.mp3"}) {
    std::optional<std::uint64_t> size = fs::FileSize(gone + "我的音乐/未知歌手/未知专辑/" + name);
    EXPECT_TRUE(!size || *size == fs::FileSize(temp_ / (std::string("songs/") + name))) << name;
  }
}

}  // namespace
}  // namespace quillo::ui
