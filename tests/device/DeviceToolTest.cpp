// quillo-tool's device commands over phone folders, driven from outside as a script would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>

#include "PhoneFixture.h"
#include "device/DeviceIds.h"
#include "platform/crypto/Crypto.h"
#include "store/SafeNames.h"
#include "support/TempFolder.h"

namespace {

using quillo::testing::Bytes;
using quillo::testing::ConfigBytes;
using quillo::testing::PathRecords;
using quillo::testing::Put;
using quillo::testing::TempFolder;
namespace fs = quillo::fs;

struct Output {
  int status = -1;
  std::string out;
  std::string err;
};

class DeviceToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    card_ = temp_ / "card/";
    fs::CreateFolders(card_);
    id_ = quillo::device::DeviceToken(card_);
  }
  Output Tool(const std::string& arguments) {
    std::string command = std::string(QUILLO_BINARY_DIR) + "/tools/quillo-tool/quillo-tool --data-dir '" +
                          temp_.path() + "data/' " + arguments + " 2>'" + temp_.path() + "stderr'";
    Output output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) output.out.append(buffer.data(), n);
    int status = pclose(pipe.release());
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    output.err = Bytes(temp_.path() + "stderr");
    return output;
  }
  std::string ListId(const std::string& name) {
    return "d_" + id_ + "_" + quillo::crypto::Md5Hex(name);
  }

  TempFolder temp_;
  std::string card_;
  std::string id_;
};

TEST_F(DeviceToolTest, OpenPrintsEachListWithItsSongsAndSaveKeepsThePhoneFiles) {
  Put(card_ + "AllMusic.txt", PathRecords({u"C:\\我的音乐\\a\\One.mp3", u"C:\\我的音乐\\b\\Two.mp3"}));
  Put(card_ + "我的音乐/a/One.mp3", "x");
  Put(card_ + "我的音乐/b/Two.mp3", "x");
  Put(card_ + "mix.lst", PathRecords({u"C:\\我的音乐\\b\\Two.mp3"}));
  Put(card_ + "@MusicPlayer/MPConfig.ini", ConfigBytes('1', "", {1}, {u"C:\\mix.lst"}));

  Output open = Tool("device open '" + card_ + "'");
  ASSERT_EQ(open.status, 0) << open.err;
  EXPECT_EQ(open.out, "d_" + id_ + "_\t[全部]\n\tOne\n\tTwo\n" + ListId("mix") + "\tmix\n\tTwo\n");

  Output save = Tool("device save '" + card_ + "'");
  ASSERT_EQ(save.status, 0) << save.err;
  EXPECT_EQ(save.out, open.out);
  EXPECT_EQ(Bytes(card_ + "mix.lst"), PathRecords({u"C:\\我的音乐\\b\\Two.mp3"}));
  EXPECT_EQ(Bytes(card_ + "@MusicPlayer/MPConfig.ini"), ConfigBytes('1', "", {1}, {u"C:\\mix.lst"}));
  EXPECT_EQ(Tool("device open '" + card_ + "'").out, open.out) << "read back after the save";

  EXPECT_NE(Tool("device open '" + temp_.path() + "nowhere'").status, 0);
}

TEST_F(DeviceToolTest, ListCommandsChangeThePhonesLists) {
  Output created = Tool("device list create '" + card_ + "' 新列表");
  ASSERT_EQ(created.status, 0) << created.err;
  EXPECT_NE(created.out.find("\t新列表\n"), std::string::npos);
  EXPECT_TRUE(fs::FileExists(card_ + "新列表.lst"));

  Output renamed = Tool("device list rename '" + card_ + "' " + ListId("新列表") + " 改名");
  ASSERT_EQ(renamed.status, 0) << renamed.err;
  EXPECT_TRUE(fs::FileExists(card_ + "改名.lst"));
  EXPECT_FALSE(fs::FileExists(card_ + "新列表.lst"));

  EXPECT_NE(Tool("device list delete '" + card_ + "' d_" + id_ + "_").status, 0)
      << "the all-songs list cannot be deleted";
  Output deleted = Tool("device list delete '" + card_ + "' " + ListId("改名"));
  ASSERT_EQ(deleted.status, 0) << deleted.err;
  EXPECT_EQ(deleted.out, "d_" + id_ + "_\t[全部]\n");
  EXPECT_FALSE(fs::FileExists(card_ + "改名.lst"));
}

TEST_F(DeviceToolTest, CopyPutsLibrarySongsOnThePhoneAndIntoTheList) {
  const std::string song = temp_ / "songs/Song.mp3";
  Put(song, std::string(4096, 'm'));
  Put(temp_ / "songs/Song.lrc", "[00:01]词");
  ASSERT_EQ(Tool("import '" + song + "'").status, 0);
  Output list = Tool("library list local");
  ASSERT_EQ(list.status, 0);
  const std::string music_id = list.out.substr(0, list.out.find('\t'));
  ASSERT_EQ(Tool("device list create '" + card_ + "' 拷贝").status, 0);

  Output copy = Tool("device copy '" + card_ + "' " + ListId("拷贝") + " " + music_id);
  ASSERT_EQ(copy.status, 0) << copy.err;
  EXPECT_NE(copy.err.find("正在复制(1/1): Song"), std::string::npos) << copy.err;
  const std::string placed = card_ + "我的音乐/未知歌手/未知专辑/Song.mp3";
  EXPECT_EQ(Bytes(placed), std::string(4096, 'm'));
  EXPECT_TRUE(fs::FileExists(card_ + "我的音乐/未知歌手/未知专辑/Song.lrc"));
  EXPECT_EQ(Bytes(card_ + "拷贝.lst"), PathRecords({u"C:\\我的音乐\\未知歌手\\未知专辑\\Song.mp3"}));
  EXPECT_EQ(copy.out, "d_" + id_ + "_\t[全部]\n\tSong\n" + ListId("拷贝") + "\t拷贝\n\tSong\n");

  // Copying it again only lists it: the phone already holds the song.
  Output again = Tool("device copy '" + card_ + "' " + ListId("拷贝") + " " + music_id);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.err.find("正在复制"), std::string::npos);
  EXPECT_EQ(again.out, copy.out);

  EXPECT_NE(Tool("device copy '" + card_ + "' " + ListId("拷贝") + " nosuchsong").status, 0);
}

TEST_F(DeviceToolTest, SyncCommandsChangeTheConfiguredPhonesLists) {
  Put(card_ + "AllMusic.txt", PathRecords({u"C:\\我的音乐\\a\\One.mp3", u"C:\\我的音乐\\b\\Two.mp3"}));
  Put(card_ + "我的音乐/a/One.mp3", "1");
  Put(card_ + "我的音乐/b/Two.mp3", "2");
  Put(card_ + "mix.lst", PathRecords({u"C:\\我的音乐\\b\\Two.mp3", u"C:\\我的音乐\\a\\One.mp3"}));
  Put(card_ + "@MusicPlayer/MPConfig.ini", ConfigBytes('1', "", {2}, {u"C:\\mix.lst"}));
  // Nobody listens on port 9: a phone's lists are never sent to the service.
  const std::string sync = "--service http://127.0.0.1:9/ sync ";

  EXPECT_NE(Tool(sync + "clear " + ListId("mix")).err.find("手机未连接"), std::string::npos)
      << "no phone configured yet";
  ASSERT_EQ(Tool("config set module.device.card_folder '" + card_ + "'").status, 0);

  // Removing a song from a phone list rewrites the list file on the phone.
  const std::string all = "d_" + id_ + "_";
  Output removed = Tool(sync + "remove " + ListId("mix") + " " + all +
                        quillo::store::LocalMusicId(card_ + "我的音乐/b/Two.mp3"));
  ASSERT_EQ(removed.status, 0) << removed.err;
  EXPECT_EQ(Bytes(card_ + "mix.lst"), PathRecords({u"C:\\我的音乐\\a\\One.mp3"}));
  EXPECT_EQ(Bytes(card_ + "@MusicPlayer/MPConfig.ini"), ConfigBytes('1', "", {1}, {u"C:\\mix.lst"}));

  // A library song dropped on a phone list is copied to the phone and joins the list.
  const std::string song = temp_ / "songs/Three.mp3";
  Put(song, std::string(2048, '3'));
  ASSERT_EQ(Tool("import '" + song + "'").status, 0);
  const std::string local = Tool("library list local").out;
  const std::string music_id = local.substr(0, local.find('\t'));
  Output dropped = Tool(sync + "drop " + ListId("mix") + " " + music_id);
  ASSERT_EQ(dropped.status, 0) << dropped.err;
  EXPECT_EQ(Bytes(card_ + "我的音乐/未知歌手/未知专辑/Three.mp3"), std::string(2048, '3'));
  EXPECT_EQ(Bytes(card_ + "mix.lst"),
            PathRecords({u"C:\\我的音乐\\a\\One.mp3", u"C:\\我的音乐\\未知歌手\\未知专辑\\Three.mp3"}));

  // Clearing the phone list empties it on the phone; the songs stay on the phone.
  ASSERT_EQ(Tool(sync + "clear " + ListId("mix")).status, 0);
  EXPECT_EQ(Bytes(card_ + "mix.lst"), "");
  EXPECT_TRUE(fs::FileExists(card_ + "我的音乐/a/One.mp3"));
  EXPECT_NE(Tool(sync + "clear " + all + "nosuchlist").err.find("手机列表不存在"), std::string::npos);
}

TEST_F(DeviceToolTest, FetchCopiesPhoneSongsIntoTheLibrary) {
  Put(card_ + "AllMusic.txt", PathRecords({u"C:\\我的音乐\\a\\One.mp3", u"C:\\我的音乐\\b\\Two.mp3"}));
  Put(card_ + "我的音乐/a/One.mp3", std::string(3000, 'o'));
  Put(card_ + "我的音乐/a/One.lrc", "[00:01]词");
  Put(card_ + "我的音乐/b/Two.mp3", "t");

  Output fetched = Tool("device fetch '" + card_ + "' One");
  ASSERT_EQ(fetched.status, 0) << fetched.err;
  EXPECT_NE(fetched.err.find("正在复制(1/1): One"), std::string::npos) << fetched.err;
  const std::string placed = temp_.path() + "data/music/未知歌手/未知专辑/One.mp3";
  ASSERT_EQ(fetched.out.substr(fetched.out.find('\t') + 1), placed + "\n");
  const std::string library_id = fetched.out.substr(0, fetched.out.find('\t'));
  EXPECT_EQ(library_id.find("d_"), std::string::npos) << "the library id carries no device prefix";
  EXPECT_EQ(Bytes(placed), std::string(3000, 'o'));
  EXPECT_EQ(Bytes(temp_.path() + "data/music/未知歌手/未知专辑/One.lrc"), "[00:01]词");
  EXPECT_EQ(Bytes(card_ + "我的音乐/a/One.mp3"), std::string(3000, 'o')) << "the phone keeps its song";

  Output local = Tool("library list local");
  ASSERT_EQ(local.status, 0) << local.err;
  EXPECT_EQ(local.out.substr(0, local.out.find('\t')), library_id);
  EXPECT_NE(local.out.find("One"), std::string::npos) << local.out;

  // Fetched again: the library has it with its file, nothing is copied.
  Output again = Tool("device fetch '" + card_ + "' One");
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.err.find("正在复制"), std::string::npos) << again.err;
  EXPECT_EQ(again.out, fetched.out);

  EXPECT_NE(Tool("device fetch '" + card_ + "' NoSuchSong").status, 0);
  EXPECT_NE(Tool("device fetch '" + card_ + "' Two --to nosuchlist").status, 0);
}

}  // namespace
