// Lyric error reports, play events and usage statistics.
#include "ServiceTestSupport.h"

namespace quillo::testing {
namespace {

using ReportsTest = ServiceTest;

TEST_F(ReportsTest, ReportsAreStored) {
  const std::string song = Songs()[0].id;
  const std::string stat =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><stat version=\"1.3.1\" clientid=\"AB\">"
      "<dlg id=\"5\"><button id=\"12\" clicks=\"2\" /></dlg></stat>";
  EXPECT_EQ(service_.PostForm("/api/updatelyricerrortype.php",
                              {{"musicId", song}, {"lyric_error_type", "2"}, {"comment", ""}, {"userId", "0"}})
                .status, 200);
  EXPECT_EQ(service_.PostForm("/api/updatelyricerrortype.php",
                              {{"musicId", song}, {"lyric_error_type", "4"}, {"comment", "第二行错了"},
                               {"userId", "10001"}}).status, 200);
  EXPECT_EQ(service_.PostForm("/api/event.php", {{"client_id", "AB"}, {"type", "play_music"}, {"ext_id", "t_rank_1"},
                                                 {"ext_value", song}, {"event_detail", ""}}).status, 200);
  EXPECT_EQ(service_.PostForm("/api/uploadreport.php", {{"clientid", "AB"}, {"content", stat}}).status, 200);

  const std::string reports = service_.Control("action=reports");
  EXPECT_NE(reports.find("\"error_type\":\"2\""), std::string::npos) << reports;
  EXPECT_NE(reports.find("\"comment\":\"第二行错了\""), std::string::npos);
  EXPECT_NE(reports.find("\"type\":\"play_music\""), std::string::npos);
  EXPECT_NE(reports.find("\"ext_id\":\"t_rank_1\""), std::string::npos);
  EXPECT_NE(reports.find("clicks=\\\"2\\\""), std::string::npos);
}

TEST_F(ReportsTest, LongReportsAreTaken) {
  // Well past 8 KB of url-encoded form: a run with many buttons clicked.
  std::string stat = "<?xml version=\"1.0\" encoding=\"utf-8\"?><stat version=\"1.3.1\" clientid=\"AB\">";
  for (int window = 1; window <= 40; ++window) {
    stat += "<dlg id=\"" + std::to_string(window) + "\">";
    for (int button = 1; button <= 20; ++button) {
      stat += "<button id=\"" + std::to_string(button) + "\" clicks=\"3\" />";
    }
    stat += "</dlg>";
  }
  stat += "</stat>";
  ASSERT_GT(ServiceProcess::EncodeForm({{"content", stat}}).size(), 40000u);
  EXPECT_EQ(service_.PostForm("/api/uploadreport.php", {{"clientid", "AB"}, {"content", stat}}).status, 200);
  EXPECT_NE(service_.Control("action=reports").find("dlg id=\\\"40\\\""), std::string::npos);
  const auto log = service_.RequestLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().Form("content"), stat);
}

TEST_F(ReportsTest, BadReportsAreRefused) {
  const std::string song = Songs()[0].id;
  const struct {
    const char* target;
    NameValues form;
    int status;
  } cases[] = {
      {"/api/updatelyricerrortype.php", {{"musicId", song}, {"lyric_error_type", "0"}, {"userId", "0"}}, 400},
      {"/api/updatelyricerrortype.php", {{"musicId", song}, {"lyric_error_type", "5"}, {"userId", "0"}}, 400},
      {"/api/updatelyricerrortype.php", {{"musicId", song}, {"lyric_error_type", "x"}, {"userId", "0"}}, 400},
      {"/api/updatelyricerrortype.php", {{"musicId", song}, {"lyric_error_type", "1"}}, 400},
      {"/api/updatelyricerrortype.php", {{"musicId", "31337"}, {"lyric_error_type", "1"}, {"userId", "0"}}, 404},
      {"/api/updatelyricerrortype.php",
       {{"musicId", song}, {"lyric_error_type", "1"}, {"userId", "0"}, {"comment", std::string(5000, 'c')}}, 413},
      {"/api/event.php", {{"client_id", "AB"}, {"type", "skip_music"}}, 400},
      {"/api/event.php", {{"type", "play_music"}}, 400},
      {"/api/uploadreport.php", {{"clientid", "AB"}, {"content", "<stat"}}, 400},
      {"/api/uploadreport.php", {{"clientid", "AB"}, {"content", "<other/>"}}, 400},
      {"/api/uploadreport.php", {{"content", "<stat/>"}}, 400},
  };
  for (const auto& c : cases) {
    const HttpAnswer answer = service_.PostForm(c.target, c.form);
    EXPECT_EQ(answer.status, c.status) << c.target << " " << (c.form.empty() ? "" : c.form[0].second);
  }
  EXPECT_EQ(service_.Control("action=reports"), "{\"ok\":true,\"reports\":[]}");
}

}  // namespace
}  // namespace quillo::testing
