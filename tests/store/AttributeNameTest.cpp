#include "store/AttributeName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace quillo::store {
namespace {

// Shared or a copy of its own, a name reads, compares and orders as its text, and a copy or a
// move never leaves two owners of one text (the sanitizer build checks the frees).
TEST(AttributeNameTest, ReadsComparesAndOrdersAsItsText) {
  const std::vector<std::string> texts = {"name", "artist_name", "", "zz", "Name", "名字",
                                          "fileName", "a_very_long_attribute_name_of_a_service"};
  std::vector<AttributeName> names(texts.begin(), texts.end());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(names[i].str(), texts[i]);
    EXPECT_EQ(names[i], texts[i]);
    EXPECT_EQ(names[i], std::string_view(texts[i]));
    EXPECT_EQ(names[i], texts[i].c_str());
    EXPECT_EQ(names[i].size(), texts[i].size());
  }
  EXPECT_TRUE(names[0].IsShared());
  EXPECT_TRUE(names[2].IsShared());
  EXPECT_FALSE(names[3].IsShared());
  EXPECT_FALSE(names[4].IsShared());  // names are case-sensitive
  EXPECT_FALSE(names[7].IsShared());

  std::vector<AttributeName> sorted = names;
  std::vector<std::string> sorted_texts = texts;
  std::sort(sorted.begin(), sorted.end());
  std::sort(sorted_texts.begin(), sorted_texts.end());
  ASSERT_EQ(sorted.size(), sorted_texts.size());
  for (std::size_t i = 0; i < sorted.size(); ++i) EXPECT_EQ(sorted[i].str(), sorted_texts[i]);
  EXPECT_LT(AttributeName("album_name"), AttributeName("zz"));
  EXPECT_NE(AttributeName("zz"), AttributeName("zz2"));

  AttributeName own("zz");
  AttributeName copy = own;
  EXPECT_EQ(copy, own);
  EXPECT_NE(&copy.str(), &own.str());  // its own copy
  AttributeName moved = std::move(own);
  EXPECT_EQ(moved, "zz");
  EXPECT_EQ(own.str(), "");  // a moved-from name reads as empty
  own = moved;
  copy = std::move(moved);
  EXPECT_EQ(own, "zz");
  EXPECT_EQ(copy, "zz");
  AttributeName& same = copy;
  copy = same;  // assigning a name to itself keeps it
  EXPECT_EQ(copy, "zz");
  AttributeName shared("id");
  EXPECT_EQ(&AttributeName("id").str(), &shared.str());  // one text for every record
}

TEST(AttributeNameTest, NamesAreMadeFromManyThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      for (int i = 0; i < 2000; ++i) {
        const std::string text = i % 2 ? "name" : "own" + std::to_string(i % 7);
        AttributeName name(text);
        AttributeName copy = name;
        if (copy != text || name.IsShared() != (i % 2 == 1)) ++wrong[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace quillo::store
