// quillo-tool's device commands over phone folders, driven from outside as a script would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>

#include "PhoneFixture.h"
#include "device/DeviceIds.h"
#include "platform/crypto/Crypto.h"
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

}  // namespace
