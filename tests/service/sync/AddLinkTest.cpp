// The "quillo://add/" link syntax.
#include <gtest/gtest.h>

#include "service/sync/AddLink.h"

namespace quillo::service {
namespace {

TEST(AddLinkTest, ReadsIdsAndAnOptionalListName) {
  struct Case {
    const char* link;
    std::vector<std::string> ids;
    std::optional<std::string> name;
  } cases[] = {
      {"quillo://add/1", {"1"}, std::nullopt},
      {"QUILLO://ADD/1,2", {"1", "2"}, std::nullopt},
      {"quillo://add/1,2/", {"1", "2"}, std::nullopt},
      {"quillo://add/ 1 , ,2,", {"1", "2"}, std::nullopt},
      {"quillo://add/1%2C2%3A%E6%AD%8C", {"1", "2"}, "歌"},
      {"quillo://add/1:a:b", {"1"}, "a:b"},
      {"quillo://add/1: 名字 ", {"1"}, "名字"},
      {"quillo://add/1:", {"1"}, std::nullopt},
      {"quillo://add/1:a+b", {"1"}, "a+b"},
      {"quillo://add/", {}, std::nullopt},
      {"quillo://add/:名字", {}, "名字"},
  };
  for (const Case& c : cases) {
    std::optional<AddLink> link = ParseAddLink(c.link);
    ASSERT_TRUE(link.has_value()) << c.link;
    EXPECT_EQ(link->music_ids, c.ids) << c.link;
    EXPECT_EQ(link->list_name, c.name) << c.link;
  }
}

TEST(AddLinkTest, DecodesEscapesStrictly) {
  EXPECT_EQ(DecodePercentEscapes("a%41%6a%e6%88%91"), "aAj我");
  EXPECT_EQ(DecodePercentEscapes("%25%2"), std::nullopt);
  EXPECT_EQ(DecodePercentEscapes("%"), std::nullopt);
  EXPECT_EQ(DecodePercentEscapes("%zz"), std::nullopt);
  EXPECT_EQ(DecodePercentEscapes(""), "");
}

}  // namespace
}  // namespace quillo::service
