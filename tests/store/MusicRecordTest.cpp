#include "store/MusicRecord.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillo::store {
namespace {

std::vector<std::pair<std::string, std::string>> Entries(const MusicRecord& record) {
  return {record.begin(), record.end()};
}

std::vector<std::pair<std::string, std::string>> Entries(
    const std::map<std::string, std::string>& map) {
  return {map.begin(), map.end()};
}

// The record must answer every operation the library and its callers use as a map of the same
// attributes would, in the same order.
TEST(MusicRecordTest, BehavesAsAMapOfTheSameAttributes) {
  const std::vector<std::string> names = {"id",   "name", "artist_name", "_name", "album_name",
                                          "path", "",     "a",           "Z",     "id2"};
  std::mt19937 random(7);
  for (int run = 0; run < 200; ++run) {
    MusicRecord record;
    std::map<std::string, std::string> map;
    for (int step = 0; step < 40; ++step) {
      const std::string& name = names[random() % names.size()];
      const std::string text = "t" + std::to_string(random() % 5);
      switch (random() % 6) {
        case 0:
          record[name] = text;
          map[name] = text;
          break;
        case 1: {
          const bool added = record.emplace(name, text).second;
          EXPECT_EQ(added, map.emplace(name, text).second);
          break;
        }
        case 2: {
          const bool added = record.insert_or_assign(name, text).second;
          EXPECT_EQ(added, map.insert_or_assign(name, text).second);
          break;
        }
        case 3:
          EXPECT_EQ(record.erase(name), map.erase(name));
          break;
        case 4: {
          auto it = record.find(name);
          if (it != record.end()) it = record.erase(it);
          auto map_it = map.find(name);
          if (map_it != map.end()) map_it = map.erase(map_it);
          ASSERT_EQ(it == record.end(), map_it == map.end());
          if (it != record.end()) {
            EXPECT_EQ(it->first, map_it->first);
          }
          break;
        }
        default: {
          const bool added = record.try_emplace(name, text).second;
          EXPECT_EQ(added, map.try_emplace(name, text).second);
        }
      }
      ASSERT_EQ(Entries(record), Entries(map)) << "run " << run << " step " << step;
      for (const std::string& probe : names) {
        EXPECT_EQ(record.contains(probe), map.contains(probe));
        EXPECT_EQ(record.count(probe), map.count(probe));
      }
    }
    MusicRecord copy(map.begin(), map.end());
    EXPECT_TRUE(copy == record);
    if (!record.empty()) {
      copy[record.begin()->first] += "changed";
      EXPECT_FALSE(copy == record);
    }
  }
}

TEST(MusicRecordTest, FirstTextOfANameWinsAndMissingNamesAreReported) {
  const MusicRecord record{{"name", "first"}, {"id", "7"}, {"name", "second"}};
  EXPECT_EQ(record.size(), 2u);
  EXPECT_EQ(record.at("name"), "first");
  EXPECT_EQ(IdOf(record), "7");
  EXPECT_THROW(record.at("path"), std::out_of_range);
  EXPECT_EQ(IdOf(MusicRecord{{"name", "x"}}), "");

  MusicRecord shrunk = record;
  shrunk.reserve(64);
  shrunk.shrink_to_fit();
  EXPECT_TRUE(shrunk == record);
}

}  // namespace
}  // namespace quillo::store
