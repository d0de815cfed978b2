#include "service/http/CHttpClientMapT.h"

#include <gtest/gtest.h>

#include "service/http/httpclientexceptionW.h"

namespace Dravik {
namespace {

std::string Names(const CHttpClientMapT& map) {
  std::string names;
  for (const auto& entry : map) names += entry.name + "=" + entry.value.value_or("(null)") + ";";
  return names;
}

TEST(CHttpClientMapTest, OrdersNamesWithoutCaseAndKeepsInsertionOrderOfEqualNames) {
  CHttpClientMapT map;
  map.Add("b", "1");
  map.Add("A", "2");
  map.Add("a", "3");
  map.Add("musicId[]", "x");
  map.Add("playlistId", "p");
  map.Add("musicId[]", "y");
  map.Add("B", nullptr);
  EXPECT_EQ(Names(map), "A=2;a=3;b=1;B=(null);musicId[]=x;musicId[]=y;playlistId=p;");
  EXPECT_EQ(map.Count("MUSICID[]"), 2u);
  EXPECT_STREQ(map.Get("musicid[]", 1), "y");
  EXPECT_EQ(map.Get("musicid[]", 2), nullptr);
  EXPECT_EQ(map.Get("B", 1), nullptr);  // a null value
  EXPECT_TRUE(map.Exists("B", 1));
  map.Remove("a");
  EXPECT_EQ(Names(map), "b=1;B=(null);musicId[]=x;musicId[]=y;playlistId=p;");
}

TEST(CHttpClientMapTest, SetReplacesTheNthEntryOrAddsOne) {
  CHttpClientMapT map;
  map.Set("Range", "bytes=1-");
  map.Set("range", "bytes=5-");
  EXPECT_EQ(Names(map), "Range=bytes=5-;");
  map.Add("Range", "second");
  map.Set("RANGE", "third", 0, 1);
  EXPECT_EQ(Names(map), "Range=bytes=5-;Range=third;");
  try {
    map.Set("Range", "x", 0, 5);
    ADD_FAILURE();
  } catch (const httpclientexceptionW& e) {
    EXPECT_EQ(e.ErrorCode(), 101);
  }
  const std::pair<const char*, const char*> refusals[] = {
      {nullptr, "CHttpClientMapT::Add: szName can not be NULL."},
      {"", "CHttpClientMapT::Add: szName can not be an empty string."}};
  for (const auto& [name, message] : refusals) {
    try {
      map.Add(name, "v");
      ADD_FAILURE();
    } catch (const httpclientexceptionW& e) {
      EXPECT_STREQ(e.what(), message);
    }
  }
}

}  // namespace
}  // namespace Dravik
