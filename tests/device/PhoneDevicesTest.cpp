// Opening phone folders, the list operations and writing the phone player's files back.
#include <gtest/gtest.h>

#include "PhoneFixture.h"
#include "device/DeviceIds.h"
#include "device/PhoneDevices.h"
#include "platform/crypto/Crypto.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/SafeNames.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::device {
namespace {

using testing::Bytes;
using testing::ConfigBytes;
using testing::PathRecords;
using testing::Put;

class PhoneDevicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.Open(false));
    card_ = temp_ / "card/";
    phone_ = temp_ / "phone/";
    fs::CreateFolders(card_);
    fs::CreateFolders(phone_);
  }
  void TearDown() override { runtime_.Close(); }

  // A two-drive phone: an index with two songs, AllMusic.txt naming them and a third one the
  // index does not know, and two lists.
  void BuildTwoDrivePhone() {
    Put(card_ + "我的音乐/sorvel.xml",
        "<Sorvel><folders><folder name=\"music\">"
        "<file album_id=\"1\" album_name=\"专辑\" album_seq=\"2\" artist_id=\"3\" artist_name=\"歌手\" "
        "name=\"第一首\" id=\"100\" fileName=\"file://E:\\我的音乐\\歌手\\专辑\\第一首.mp3\"/>"
        "<file album_id=\"\" album_name=\"\" album_seq=\"\" artist_id=\"\" artist_name=\"B\" "
        "name=\"Second\" id=\"200\" fileName=\"B/Second.mp3\"/>"
        "</folder></folders></Sorvel>");
    Put(phone_ + "AllMusic.txt", PathRecords({u"E:\\我的音乐\\歌手\\专辑\\第一首.mp3",
                                              u"E:\\我的音乐\\B\\Second.mp3", u"C:\\Music\\third.mp3"}));
    Put(phone_ + "流行.lst", PathRecords({u"E:\\我的音乐\\B\\Second.mp3", u"e:\\我的音乐\\歌手\\专辑\\第一首.MP3"}));
    Put(phone_ + "empty.lst", "");
    Put(phone_ + "@MusicPlayer/MPConfig.ini",
        ConfigBytes('3', "\x05\x06\x07", {2, 0, 9}, {u"C:\\流行.lst", u"C:\\empty.lst", u"C:\\gone.lst"}));
  }

  std::vector<std::string> Names(const std::string& list_id) {
    std::vector<std::string> names;
    for (const auto& record : devices_.DeviceListRecords(list_id)) names.push_back(record.at("name"));
    return names;
  }

  store::MusicRecord LibrarySong(const std::string& id, const std::string& name, const std::string& file) {
    return {{"id", id}, {"name", name}, {"artist_name", "A"}, {"album_name", "L"}, {"fileName", file}};
  }

  quillo::testing::TempFolder temp_;
  store::StoreRuntime runtime_{temp_ / "data/"};
  PhoneDevices devices_{runtime_.store(), runtime_.library()};
  std::string card_, phone_;
};

TEST_F(PhoneDevicesTest, OpensTheIndexAllSongsAndTheListsOfATwoDrivePhone) {
  BuildTwoDrivePhone();
  const std::string id = devices_.OpenDevice(PhoneRoots(card_, phone_));
  EXPECT_EQ(id, DeviceToken(card_));
  std::vector<store::PlaylistEntry> lists = devices_.DeviceLists(id);
  ASSERT_EQ(lists.size(), 3u) << "gone.lst cannot be opened and is skipped";
  EXPECT_EQ(lists[0], (store::PlaylistEntry{"[全部]", "d_" + id + "_"}));
  EXPECT_EQ(lists[1], (store::PlaylistEntry{"流行", "d_" + id + "_" + crypto::Md5Hex("流行")}));
  EXPECT_EQ(lists[2].name, "empty");
  EXPECT_EQ(Names(lists[0].id), (std::vector<std::string>{"第一首", "Second", "third"}));
  EXPECT_EQ(Names(lists[1].id), (std::vector<std::string>{"Second", "第一首"})) << "case-blind match";

  store::MusicRecord first = devices_.DeviceListRecords(lists[0].id)[0];
  const std::string path = card_ + "我的音乐/歌手/专辑/第一首.mp3";
  EXPECT_EQ(first.at("fileName"), "file://" + path);
  EXPECT_EQ(first.at("id"), "d_" + id + "_" + store::LocalMusicId(path));
  EXPECT_EQ(first.at("album_seq"), "2");
  EXPECT_EQ(devices_.DeviceMusicPath(first), path);
  EXPECT_EQ(devices_.DeviceListRecords(lists[0].id)[2].at("fileName"), "file://" + phone_ + "Music/third.mp3");

  // The playlists see the device row and its lists.
  std::vector<store::PlaylistEntry> all = runtime_.playlists().ListPlaylists(false);
  EXPECT_NE(std::find(all.begin(), all.end(), store::PlaylistEntry{"", "d_" + id}), all.end());
}

TEST_F(PhoneDevicesTest, MissingFilesOpenAsAnEmptyDeviceAndChangeMarkerTrustsTheIndex) {
  const std::string id = devices_.OpenDevice(PhoneRoots(card_));
  EXPECT_EQ(devices_.DeviceListCount(id), 1);
  devices_.CloseDevice(id);
  EXPECT_FALSE(devices_.IsOpen(id));
  EXPECT_EQ(devices_.DeviceListCount(id), 0);

  BuildTwoDrivePhone();
  Put(phone_ + ".change", "");
  const std::string again = devices_.OpenDevice(PhoneRoots(card_, phone_));
  EXPECT_EQ(Names(AllSongsListId(again)), (std::vector<std::string>{"第一首", "Second"}))
      << "with the marker the index alone gives the songs";
}

TEST_F(PhoneDevicesTest, SavingUnchangedListsWritesTheSameFilesBack) {
  BuildTwoDrivePhone();
  const std::string id = devices_.OpenDevice(PhoneRoots(card_, phone_));
  ASSERT_TRUE(devices_.SaveDevice(id));
  const std::string first_lists = Bytes(phone_ + "流行.lst");
  const std::string first_config = Bytes(phone_ + "@MusicPlayer/MPConfig.ini");
  const std::string first_index = Bytes(card_ + "我的音乐/sorvel.xml");
  EXPECT_EQ(first_lists, PathRecords({u"E:\\我的音乐\\B\\Second.mp3", u"E:\\我的音乐\\歌手\\专辑\\第一首.mp3"}));
  EXPECT_EQ(first_config, ConfigBytes('2', "\x05\x06\x07", {2, 0}, {u"C:\\流行.lst", u"C:\\empty.lst"}));
  EXPECT_TRUE(fs::FileExists(phone_ + ".change"));
  EXPECT_TRUE(fs::FileExists(phone_ + ".listchange"));

  // Read back and saved again: every phone file is the same, byte for byte.
  devices_.CloseDevice(id);
  const std::string reopened = devices_.OpenDevice(PhoneRoots(card_, phone_));
  ASSERT_TRUE(devices_.SaveDevice(reopened));
  EXPECT_EQ(Bytes(phone_ + "流行.lst"), first_lists);
  EXPECT_EQ(Bytes(phone_ + "empty.lst"), "");
  EXPECT_EQ(Bytes(phone_ + "@MusicPlayer/MPConfig.ini"), first_config);
  EXPECT_EQ(Bytes(card_ + "我的音乐/sorvel.xml"), first_index);
  EXPECT_EQ(Names(AllSongsListId(reopened)), (std::vector<std::string>{"第一首", "Second", "third"}));
}

TEST_F(PhoneDevicesTest, ListFileNamesAreSafeCutDeduplicatedAndAtMostTwenty) {
  const std::string id = devices_.OpenDevice(PhoneRoots(card_));
  std::vector<std::string> names = {"a/b", "a|b", std::string(40, 'x'), "../../escape"};
  for (int i = 0; i < 21; ++i) names.push_back("list" + std::to_string(i));
  for (std::size_t i = 0; i < names.size(); ++i) {
    ASSERT_FALSE(devices_.CreateDeviceList(id, "p" + std::to_string(i), names[i]).empty());
  }
  ASSERT_TRUE(devices_.SaveDevice(id));
  std::string config = Bytes(card_ + "@MusicPlayer/MPConfig.ini");
  ASSERT_EQ(config.size(), 44u + 20u * 84u);
  EXPECT_EQ(config[0], 'D');
  EXPECT_EQ(config.substr(44, 84), testing::Record(u"C:\\a_b.lst", 84));
  EXPECT_EQ(config.substr(44 + 84, 84), testing::Record(u"C:\\a_b1.lst", 84));
  EXPECT_TRUE(fs::FileExists(card_ + "a_b.lst"));
  EXPECT_TRUE(fs::FileExists(card_ + "a_b1.lst"));
  EXPECT_TRUE(fs::FileExists(card_ + std::string(32, 'x') + ".lst"));
  EXPECT_TRUE(fs::FileExists(card_ + store::SafeFileName("../../escape") + ".lst"));
  EXPECT_TRUE(fs::FileExists(card_ + "list15.lst"));
  EXPECT_FALSE(fs::FileExists(card_ + "list16.lst")) << "only the first 20 lists are written";
  EXPECT_FALSE(fs::PathExists(temp_ / "escape.lst"));
}

TEST_F(PhoneDevicesTest, SongPathsLongerThan261CharactersAreLeftOutOfTheListAndItsCount) {
  const std::string id = devices_.OpenDevice(PhoneRoots(card_));
  const std::string list = devices_.CreateDeviceList(id, "p1", "长");
  // "C:\我的音乐\" is 8 characters; the names make 261 and 262 characters in all.
  const std::string fits = std::string(249, 'a') + ".mp3";
  const std::string too_long = std::string(250, 'a') + ".mp3";
  devices_.AddToDeviceList(LibrarySong("1", "fits", fits), list);
  devices_.AddToDeviceList(LibrarySong("2", "long", too_long), list);
  ASSERT_TRUE(devices_.SaveDevice(id));
  std::string bytes = Bytes(card_ + "长.lst");
  ASSERT_EQ(bytes.size(), 522u);
  EXPECT_EQ(bytes, testing::Utf16Le(u"C:\\我的音乐\\" + std::u16string(249, u'a') + u".mp3"));
  EXPECT_EQ(Bytes(card_ + "@MusicPlayer/MPConfig.ini").substr(4, 2), std::string("\x01\x00", 2));
}

TEST_F(PhoneDevicesTest, AFailedSaveLeavesThePreviousListsInPlace) {
  BuildTwoDrivePhone();
  const std::string id = devices_.OpenDevice(PhoneRoots(card_, phone_));
  ASSERT_TRUE(devices_.SaveDevice(id));
  const std::string lists_before = Bytes(phone_ + "流行.lst");
  const std::string config_before = Bytes(phone_ + "@MusicPlayer/MPConfig.ini");

  // The second list's new file cannot be written (its place is taken by a folder).
  ASSERT_TRUE(devices_.RenameDeviceList(ListIdForName(id, "流行"), "新名字"));
  ASSERT_TRUE(fs::CreateFolders(phone_ + "empty.lst.quillo-new/blocked/"));
  EXPECT_FALSE(devices_.SaveDevice(id));
  EXPECT_EQ(Bytes(phone_ + "流行.lst"), lists_before);
  EXPECT_EQ(Bytes(phone_ + "empty.lst"), "");
  EXPECT_EQ(Bytes(phone_ + "@MusicPlayer/MPConfig.ini"), config_before);
  EXPECT_FALSE(fs::PathExists(phone_ + "新名字.lst"));
  EXPECT_FALSE(fs::PathExists(phone_ + "新名字.lst.quillo-new")) << "no new file is left behind";

  // Once the way is clear the renamed list replaces the old one.
  fs::RemoveTree(phone_ + "empty.lst.quillo-new");
  ASSERT_TRUE(devices_.SaveDevice(id));
  EXPECT_EQ(Bytes(phone_ + "新名字.lst"), lists_before);
  EXPECT_FALSE(fs::PathExists(phone_ + "流行.lst"));
}

TEST_F(PhoneDevicesTest, NamesFromThePhonesFilesNeverReachOutsideItsRoots) {
  Put(temp_ / "outside.lst", PathRecords({u"E:\\x.mp3"}));
  Put(temp_ / "secret.mp3", "not a phone song");
  Put(card_ + "我的音乐/sorvel.xml",
      "<Sorvel><folders><folder name=\"music\">"
      "<file name=\"evil\" id=\"1\" fileName=\"file://E:\\..\\secret.mp3\"/>"
      "<file name=\"evil2\" id=\"2\" fileName=\"..\\..\\secret.mp3\"/>"
      "</folder></folders></Sorvel>");
  Put(card_ + "AllMusic.txt", PathRecords({u"C:\\..\\secret.mp3"}));
  Put(card_ + "@MusicPlayer/MPConfig.ini",
      ConfigBytes('2', "", {1, 1}, {u"C:\\..\\outside.lst", u"C:\\sub/../../outside.lst"}));
  const std::string id = devices_.OpenDevice(PhoneRoots(card_));
  EXPECT_EQ(devices_.DeviceListCount(id), 1) << "list files outside the root are not read";
  EXPECT_TRUE(devices_.DeviceListRecords(AllSongsListId(id)).empty());

  // A song record naming a file outside the device is never deleted through it.
  const std::string list = devices_.CreateDeviceList(id, "p1", "x");
  store::MusicRecord outside = LibrarySong("9", "outside", "file://" + temp_ / "secret.mp3");
  devices_.AddToDeviceList(outside, list);
  devices_.RemoveSongFromDevice(list, "d_" + id + "_9");
  EXPECT_TRUE(fs::FileExists(temp_ / "secret.mp3"));
  devices_.AddToDeviceList(LibrarySong("8", "rel", "../secret.mp3"), list);
  devices_.ClearDeviceList(AllSongsListId(id));
  EXPECT_TRUE(fs::FileExists(temp_ / "secret.mp3"));
}

TEST_F(PhoneDevicesTest, ListOperationsKeepTheAllSongsListFirstAndWhole) {
  const std::string id = devices_.OpenDevice(PhoneRoots(card_));
  const std::string all = AllSongsListId(id);
  const std::string a = devices_.CreateDeviceList(id, "pa", "A");
  const std::string b = devices_.CreateDeviceList(id, "pb", "B");
  EXPECT_TRUE(devices_.CreateDeviceList(id, "pa", "again").empty()) << "ids are unique";
  EXPECT_TRUE(devices_.CreateDeviceList(id, "p_x", "bad").empty());
  EXPECT_TRUE(devices_.CreateDeviceList("nodevice", "pc", "C").empty());

  // A library song added to a list joins the all-songs list too, once.
  store::MusicRecord song = LibrarySong("55", "Song", "A/L/Song.mp3");
  EXPECT_TRUE(devices_.AddToDeviceList(song, a));
  EXPECT_TRUE(devices_.AddToDeviceList(song, b));
  EXPECT_FALSE(devices_.AddToDeviceList(song, a)) << "already there: replaced, not added";
  EXPECT_EQ(Names(all), std::vector<std::string>{"Song"});
  EXPECT_EQ(devices_.DeviceListRecords(a)[0].at("id"), "d_" + id + "_55");
  EXPECT_TRUE(devices_.DeviceHasSong(id, song));

  EXPECT_TRUE(devices_.RemoveFromDeviceList(a, "d_" + id + "_55"));
  EXPECT_FALSE(devices_.RemoveFromDeviceList(all, "d_" + id + "_55")) << "never from all songs";
  EXPECT_EQ(Names(all), std::vector<std::string>{"Song"});

  EXPECT_TRUE(devices_.MoveDeviceList(b, a, true));
  EXPECT_FALSE(devices_.MoveDeviceList(all, b, false));
  EXPECT_TRUE(devices_.MoveDeviceList(a, all, true)) << "lands after the all-songs list";
  std::vector<store::PlaylistEntry> lists = devices_.DeviceLists(id);
  ASSERT_EQ(lists.size(), 3u);
  EXPECT_EQ(lists[0].id, all);
  EXPECT_EQ(lists[1].id, a);
  EXPECT_EQ(lists[2].id, b);

  EXPECT_FALSE(devices_.RenameDeviceList(all, "x"));
  EXPECT_FALSE(devices_.DeleteDeviceList(all));
  EXPECT_TRUE(devices_.RenameDeviceList(b, "BB"));
  EXPECT_TRUE(devices_.DeleteDeviceList(b));
  EXPECT_EQ(devices_.DeviceListCount(id), 2);
  EXPECT_EQ(Names(all), std::vector<std::string>{"Song"}) << "songs stay on the phone";
}

TEST_F(PhoneDevicesTest, SortingAListOrdersItsSongsAndTurnsRoundWhenAsked) {
  const std::string id = devices_.OpenDevice(PhoneRoots(card_));
  const std::string list = devices_.CreateDeviceList(id, "p1", "x");
  for (const char* name : {"周", "b", "阿", "a"}) {
    devices_.AddToDeviceList(LibrarySong(name, name, std::string(name) + ".mp3"), list);
  }
  ASSERT_TRUE(devices_.SortDeviceList(list, "name", true));
  const std::vector<std::string> ascending = Names(list);
  EXPECT_EQ(ascending.size(), 4u);
  EXPECT_LT(std::find(ascending.begin(), ascending.end(), "a"), std::find(ascending.begin(), ascending.end(), "b"));
  EXPECT_LT(std::find(ascending.begin(), ascending.end(), "阿"), std::find(ascending.begin(), ascending.end(), "周"))
      << "Chinese names in pinyin order";
  ASSERT_TRUE(devices_.SortDeviceList(list, "name", false));
  EXPECT_EQ(Names(list), std::vector<std::string>(ascending.rbegin(), ascending.rend()));
  ASSERT_TRUE(devices_.SortDeviceList(list, "name", true));
  EXPECT_EQ(Names(list), std::vector<std::string>(ascending.rbegin(), ascending.rend())) << "kept direction";
  EXPECT_FALSE(devices_.SortDeviceList(AllSongsListId(id), "name", true));
  EXPECT_EQ(Names(AllSongsListId(id)), (std::vector<std::string>{"周", "b", "阿", "a"}));
}

TEST_F(PhoneDevicesTest, RemovingASongFromThePhoneDeletesItsFileAndUnsharedFolders) {
  const std::string id = devices_.OpenDevice(PhoneRoots(card_));
  const std::string list = devices_.CreateDeviceList(id, "p1", "x");
  Put(card_ + "我的音乐/A/L/One.mp3", "1");
  Put(card_ + "我的音乐/A/L/One.lrc", "[00:01]x");
  Put(card_ + "我的音乐/A/L/album.jpg", "j");
  Put(card_ + "我的音乐/A/artist.jpg", "j");
  Put(card_ + "我的音乐/A/M/Two.mp3", "2");
  store::MusicRecord one = LibrarySong("1", "One", "A/L/One.mp3");
  store::MusicRecord two = LibrarySong("2", "Two", "A/M/Two.mp3");
  two["album_name"] = "M";
  devices_.AddToDeviceList(one, list);
  devices_.AddToDeviceList(two, AllSongsListId(id));

  EXPECT_TRUE(devices_.RemoveSongFromDevice(AllSongsListId(id), "d_" + id + "_1"));
  EXPECT_FALSE(fs::PathExists(card_ + "我的音乐/A/L")) << "its album had no other song";
  EXPECT_TRUE(fs::FileExists(card_ + "我的音乐/A/artist.jpg")) << "Two shares the artist";
  EXPECT_TRUE(devices_.DeviceListRecords(list).empty());

  devices_.ClearDeviceList(AllSongsListId(id));
  EXPECT_FALSE(fs::PathExists(card_ + "我的音乐/A"));
  EXPECT_TRUE(fs::FolderExists(card_ + "我的音乐")) << "the music folder itself stays";
  EXPECT_TRUE(devices_.DeviceListRecords(AllSongsListId(id)).empty());
}

}  // namespace
}  // namespace quillo::device
