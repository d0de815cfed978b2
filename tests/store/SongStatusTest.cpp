#include "store/SongStatus.h"

#include <gtest/gtest.h>

#include <string>

namespace quillo::store {
namespace {

TEST(SongStatusTest, EachStatusWritesItsDigitAndReadsBack) {
  struct Case {
    SongStatus status;
    const char* text;
  };
  const Case kCases[] = {{SongStatus::kWaiting, "0"},
                         {SongStatus::kDownloading, "1"},
                         {SongStatus::kDownloaded, "2"},
                         {SongStatus::kFailed, "3"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SongStatusText(c.status), c.text);
    EXPECT_EQ(SongStatusFromText(c.text), c.status);
    EXPECT_EQ(SongStatusOf({{"id", "1"}, {kSongStatusAttribute, c.text}}), c.status);
  }
}

TEST(SongStatusTest, StoredTextIsReadAsADecimalNumberAndAnythingElseIsWaiting) {
  struct Case {
    std::string text;
    SongStatus status;
  };
  const Case kCases[] = {
      {" 2", SongStatus::kDownloaded},  // leading blanks, as the file was always read
      {"3x", SongStatus::kFailed},      // trailing junk after the digits
      {"+1", SongStatus::kDownloading},
      {"", SongStatus::kWaiting},
      {"abc", SongStatus::kWaiting},
      {"4", SongStatus::kWaiting},
      {"-1", SongStatus::kWaiting},
      {"99999999999999999999", SongStatus::kWaiting},
      {std::string("2\0", 2), SongStatus::kDownloaded},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SongStatusFromText(c.text), c.status);
  }
  EXPECT_EQ(SongStatusOf({{"id", "1"}}), SongStatus::kWaiting) << "no status attribute";
}

}  // namespace
}  // namespace quillo::store
