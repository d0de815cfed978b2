#include "service-stub/FaultRules.h"

#include <gtest/gtest.h>

namespace quillo::stub {
namespace {

std::optional<int> Add(FaultRules& rules, const std::string& query, std::string* error = nullptr) {
  return rules.Add(Params::ParseUrlEncoded(query), error);
}

TEST(FaultRulesTest, RefusesIncompleteRules) {
  const char* bad[] = {
      "kind=status&status=500",                      // no path
      "path=music/download.php&kind=cut&bytes=1",    // path without '/'
      "path=/a&kind=explode",                        // unknown kind
      "path=/a&kind=drop_after",                     // missing value
      "path=/a&kind=drop_after&bytes=-5",            // negative
      "path=/a&kind=status&status=99",               // outside 100..599
      "path=/a&kind=throttle&bytes_per_second=0",    // would never finish
      "path=/a&kind=cut&bytes=10&count=many",        // bad count
  };
  FaultRules rules;
  for (const char* query : bad) {
    std::string error;
    EXPECT_FALSE(Add(rules, query, &error).has_value()) << query;
    EXPECT_FALSE(error.empty()) << query;
  }
}

TEST(FaultRulesTest, CountedRulesActOnTheNextRequestsOnly) {
  FaultRules rules;
  ASSERT_TRUE(Add(rules, "path=/api/login.php&kind=status&status=503&count=2"));
  const AnswerTraits plain;
  EXPECT_EQ(rules.Take("/api/other.php", "/api/other.php", plain).status, std::nullopt);
  EXPECT_EQ(rules.Take("/api/login.php", "/api/login.php", plain).status, 503);
  EXPECT_EQ(rules.Take("/api/login.php", "/api/login.php", plain).status, 503);
  EXPECT_EQ(rules.Take("/api/login.php", "/api/login.php", plain).status, std::nullopt);
}

TEST(FaultRulesTest, UncountedRulesStayUntilCleared) {
  FaultRules rules;
  const auto id = Add(rules, "path=/music/*&kind=throttle&bytes_per_second=1000");
  ASSERT_TRUE(id);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(rules.Take("/music/download.php", "/music/download.php?id=1", {}).throttle_bytes_per_second, 1000);
  }
  EXPECT_EQ(rules.Clear(std::to_string(*id)), 1);
  EXPECT_FALSE(rules.Take("/music/download.php", "/music/download.php", {}).throttle_bytes_per_second);
}

TEST(FaultRulesTest, MatchTextNarrowsTheRule) {
  FaultRules rules;
  ASSERT_TRUE(Add(rules, "path=/music/download.php&kind=cut&bytes=10&match=id%3D9%26"));
  EXPECT_FALSE(rules.Take("/music/download.php", "/music/download.php?id=1&type=download", {}).cut_bytes);
  EXPECT_EQ(rules.Take("/music/download.php", "/music/download.php?id=9&type=download", {}).cut_bytes, 10);
}

TEST(FaultRulesTest, RulesCountOnlyAnswersTheyCanChange) {
  FaultRules rules;
  ASSERT_TRUE(Add(rules, "path=*&kind=wrong_content_range&count=1"));
  ASSERT_TRUE(Add(rules, "path=*&kind=unscrambled&count=1"));
  ASSERT_TRUE(Add(rules, "path=*&kind=malformed_xml&count=1"));
  // A full file answer leaves all three waiting.
  FaultPlan plan = rules.Take("/music/download.php", "/music/download.php", {});
  EXPECT_FALSE(plan.content_range || plan.unscrambled || plan.malformed_xml);
  // The resumed download takes the Content-Range rule.
  plan = rules.Take("/music/download.php", "/music/download.php", {true, false, false});
  EXPECT_TRUE(plan.content_range.has_value());
  // A plain document takes only the malformed rule; a scrambled one the other.
  plan = rules.Take("/api/addmusic.php", "/api/addmusic.php", {false, true, false});
  EXPECT_TRUE(plan.malformed_xml);
  EXPECT_FALSE(plan.unscrambled);
  plan = rules.Take("/api/login.php", "/api/login.php", {false, true, true});
  EXPECT_TRUE(plan.unscrambled);
  EXPECT_FALSE(plan.malformed_xml);
  EXPECT_FALSE(rules.Take("/api/login.php", "/api/login.php", {true, true, true}).unscrambled);
}

TEST(FaultRulesTest, SeveralRulesCombine) {
  FaultRules rules;
  ASSERT_TRUE(Add(rules, "path=/f&kind=drop_after&bytes=100"));
  ASSERT_TRUE(Add(rules, "path=/f&kind=no_content_length"));
  ASSERT_TRUE(Add(rules, "path=/f&kind=delay&ms=30"));
  ASSERT_TRUE(Add(rules, "path=/f&kind=status&status=200&body=short"));
  const FaultPlan plan = rules.Take("/f", "/f", {});
  EXPECT_EQ(plan.drop_after_bytes, 100);
  EXPECT_TRUE(plan.no_content_length);
  EXPECT_EQ(plan.delay_ms, 30);
  EXPECT_EQ(plan.status, 200);
  EXPECT_EQ(plan.status_body, "short");
}

}  // namespace
}  // namespace quillo::stub
