// The phone player's byte layouts and the mapping between phone paths and mount roots.
#include <gtest/gtest.h>

#include "PhoneFixture.h"
#include "device/DeviceIds.h"
#include "device/PhoneFiles.h"
#include "device/PhoneRoots.h"

namespace quillo::device {
namespace {

using testing::ConfigBytes;
using testing::PathRecords;
using testing::Record;
using testing::Utf16Le;

TEST(PhoneFilesTest, PathRecordsAreUtf16LeZeroPaddedTo522Bytes) {
  std::optional<std::string> record = EncodePathRecord("E:\\我的音乐\\歌手\\专辑\\歌.mp3");
  ASSERT_TRUE(record);
  EXPECT_EQ(*record, Record(u"E:\\我的音乐\\歌手\\专辑\\歌.mp3", 522));

  // 261 characters fill the record without a terminating zero and still read back whole.
  std::u16string longest = u"E:\\" + std::u16string(258, u'a');
  ASSERT_EQ(longest.size(), 261u);
  std::string utf8 = "E:\\" + std::string(258, 'a');
  record = EncodePathRecord(utf8);
  ASSERT_TRUE(record);
  EXPECT_EQ(*record, Utf16Le(longest));
  EXPECT_EQ(ParsePathRecords(*record), std::vector<std::string>{utf8});
  EXPECT_FALSE(EncodePathRecord(utf8 + "a")) << "262 characters do not fit";
}

TEST(PhoneFilesTest, RecordTextEndsAtTheFirstZeroAndAnIncompleteRecordEndsTheFile) {
  std::string bytes = PathRecords({u"C:\\a.mp3", u"E:\\b.wma"});
  // Text after a zero inside the record is not part of the path.
  bytes.replace(522 + 40, 4, Utf16Le(u"zz"));
  bytes += std::string(300, 'x');
  EXPECT_EQ(ParsePathRecords(bytes), (std::vector<std::string>{"C:\\a.mp3", "E:\\b.wma"}));
  EXPECT_TRUE(ParsePathRecords(std::string(521, 'a')).empty());
  EXPECT_TRUE(ParsePathRecords("").empty());
}

TEST(PhoneFilesTest, PlayerConfigMatchesTheLayoutByteForByte) {
  PlayerConfig config;
  config.header = {'9', 0x11, 0x22, 0x33};
  config.counts[0] = 3;
  config.counts[1] = 0x0102;
  config.list_paths = {"C:\\流行.lst", "C:\\b.lst"};
  const std::string expected = ConfigBytes('2', "\x11\x22\x33", {3, 0x0102}, {u"C:\\流行.lst", u"C:\\b.lst"});
  EXPECT_EQ(EncodePlayerConfig(config), expected);

  PlayerConfig read = ParsePlayerConfig(expected);
  EXPECT_EQ(read.header, (std::array<std::uint8_t, 4>{'2', 0x11, 0x22, 0x33}));
  EXPECT_EQ(read.counts[1], 0x0102);
  EXPECT_EQ(read.list_paths, config.list_paths);
}

TEST(PhoneFilesTest, AtMostTwentyListsAreWrittenAndByte0CountsThem) {
  PlayerConfig config;
  for (int i = 0; i < 25; ++i) config.list_paths.push_back("C:\\l" + std::to_string(i) + ".lst");
  std::string bytes = EncodePlayerConfig(config);
  EXPECT_EQ(bytes.size(), 44u + 20u * 84u);
  EXPECT_EQ(bytes[0], 'D');
  EXPECT_EQ(ParsePlayerConfig(bytes).list_paths.back(), "C:\\l19.lst");
}

TEST(PhoneFilesTest, ShortOrDamagedConfigurationsReadAsFarAsTheyGo) {
  EXPECT_TRUE(ParsePlayerConfig("").list_paths.empty());
  PlayerConfig partial = ParsePlayerConfig("3ab");
  EXPECT_EQ(partial.header, (std::array<std::uint8_t, 4>{'3', 'a', 'b', 0}));
  std::string bytes = ConfigBytes('1', "", {1}, {u"C:\\x.lst"});
  bytes.pop_back();
  EXPECT_TRUE(ParsePlayerConfig(bytes).list_paths.empty()) << "the one record is incomplete";
}

TEST(PhoneRootsTest, TwoDrivesMapEToTheCardAndOtherLettersToThePhone) {
  PhoneRoots roots("/media/card", "/media/phone/");
  EXPECT_TRUE(roots.two_drives());
  EXPECT_EQ(roots.ToComputer("E:\\我的音乐\\a.mp3"), "/media/card/我的音乐/a.mp3");
  EXPECT_EQ(roots.ToComputer("e:\\x\\b.mp3"), "/media/card/x/b.mp3");
  EXPECT_EQ(roots.ToComputer("C:\\b.lst"), "/media/phone/b.lst");
  EXPECT_EQ(roots.ToPhone("/media/card/我的音乐/a.mp3"), "E:\\我的音乐\\a.mp3");
  EXPECT_EQ(roots.ToPhone("/media/phone/x/b.mp3"), "C:\\x\\b.mp3");
  EXPECT_EQ(roots.PhoneDriveText(), "E:\\");
}

TEST(PhoneRootsTest, OneDriveMapsEveryLetterToTheCardAndWritesC) {
  PhoneRoots roots("/media/card");
  EXPECT_FALSE(roots.two_drives());
  EXPECT_EQ(roots.ToComputer("E:\\a.mp3"), "/media/card/a.mp3");
  EXPECT_EQ(roots.ToComputer("C:\\a.mp3"), "/media/card/a.mp3");
  EXPECT_EQ(roots.ToPhone("/media/card/a.mp3"), "C:\\a.mp3");
  EXPECT_EQ(roots.PhoneDriveText(), "C:\\");
}

TEST(PhoneRootsTest, NamesThatWouldLeaveTheRootsMapToNothing) {
  PhoneRoots roots("/media/card", "/media/phone");
  for (const char* bad : {"E:\\..\\etc\\passwd", "C:\\a\\..\\..\\x.mp3", "E:", "E:\\", "x", "",
                          "\\\\server\\share", "E:\\a/../../b"}) {
    EXPECT_FALSE(roots.ToComputer(bad)) << bad;
  }
  EXPECT_FALSE(roots.ToPhone("/media/cardx/a.mp3"));
  EXPECT_FALSE(roots.ToPhone("/home/user/a.mp3"));
  EXPECT_FALSE(roots.ToPhone("/media/card/../phone2/a.mp3"));
}

TEST(DeviceIdsTest, DeviceIdsAreShortHexTokensAndListIdsSplitAfterThem) {
  std::string id = DeviceToken("/media/user/CARD_1");
  EXPECT_EQ(id.size(), 8u);
  EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(id, DeviceToken("/media/user/CARD_1/")) << "a final slash does not change the id";
  EXPECT_NE(id, DeviceToken("/media/user/CARD_2"));
  EXPECT_EQ(DeviceIdOf(AllSongsListId(id)), id);
  EXPECT_EQ(DeviceIdOf(ListIdForName(id, "流行")), id);
  EXPECT_TRUE(IsAllSongsListId(AllSongsListId(id)));
  EXPECT_FALSE(IsAllSongsListId(DeviceListId(id, "x")));
  EXPECT_EQ(DeviceIdOf("d_abc"), "");
  EXPECT_EQ(DeviceIdOf("t_abc_"), "");
  EXPECT_EQ(ListIdForName(id, "ABC"), ListIdForName(id, "abc"));
}

}  // namespace
}  // namespace quillo::device
