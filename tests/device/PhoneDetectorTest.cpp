// Which mounts are phones, and the one connected phone as mounts come and go.
#include <gtest/gtest.h>

#include "PhoneFixture.h"
#include "device/PhoneDetector.h"
#include "support/TempFolder.h"

namespace quillo::device {
namespace {

TEST(PhoneDetectorTest, OnlyMountsWithThePhonePlayersFilesArePhones) {
  quillo::testing::TempFolder temp;
  testing::Put(temp / "a/AllMusic.txt", "");
  testing::Put(temp / "b/@MusicPlayer/MPConfig.ini", "");
  testing::Put(temp / "c/我的音乐/sorvel.xml", "");
  testing::Put(temp / "d/music/song.mp3", "");
  testing::Put(temp / "e/AllMusic.txt/inside", "");  // a folder of that name is no phone file
  EXPECT_TRUE(PhoneDetector::HasPhoneLayout(temp / "a"));
  EXPECT_TRUE(PhoneDetector::HasPhoneLayout(temp / "b/"));
  EXPECT_TRUE(PhoneDetector::HasPhoneLayout(temp / "c"));
  EXPECT_FALSE(PhoneDetector::HasPhoneLayout(temp / "d"));
  EXPECT_FALSE(PhoneDetector::HasPhoneLayout(temp / "e"));
  EXPECT_FALSE(PhoneDetector::HasPhoneLayout(temp / "missing"));
}

TEST(PhoneDetectorTest, ReportsArrivalsReplacementsAndTheConnectedPhonesRemoval) {
  quillo::testing::TempFolder temp;
  testing::Put(temp / "phone1/AllMusic.txt", "");
  testing::Put(temp / "phone2/AllMusic.txt", "");
  fs::CreateFolders(temp / "stick/");
  std::vector<std::string> reports;
  PhoneDetector detector([&](const std::optional<std::string>& root) {
    reports.push_back(root.value_or("none"));
  });
  detector.Start({temp / "stick", temp / "phone1", temp / "phone2"});
  EXPECT_EQ(reports, std::vector<std::string>{temp / "phone1/"}) << "the first phone at start";
  detector.MountAdded(temp / "phone1/");
  detector.MountAdded(temp / "stick");
  detector.MountRemoved(temp / "phone2");
  EXPECT_EQ(reports.size(), 1u) << "the same phone again, a plain stick and another mount: nothing";
  detector.MountAdded(temp / "phone2");
  detector.MountRemoved(temp / "phone1");
  detector.MountRemoved(temp / "phone2");
  EXPECT_EQ(reports, (std::vector<std::string>{temp / "phone1/", temp / "phone2/", "none"}));
  EXPECT_FALSE(detector.connected());
}

}  // namespace
}  // namespace quillo::device
