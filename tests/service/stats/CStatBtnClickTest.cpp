// Click counts, the statistics document, the once-per-run report and playback events.
#include <gtest/gtest.h>

#include "fakes/FakeRequestSender.h"
#include "platform/loop/MainLoop.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceRequests.h"
#include "service/stats/CStatBtnClick.h"

namespace quillo::service {
namespace {

constexpr char kClient[] = "FEDCBA9876543210FEDCBA9876543210";
const std::string kHeader = std::string(
                                "<?xml version=\"1.0\" encoding=\"utf-8\"?><stat version=\"1.3.1\" "
                                "clientid=\"") +
                            kClient + "\">";

class CStatBtnClickTest : public ::testing::Test {
 protected:
  testing::FakeRequestSender sender;
  JSRequestHandler handler{sender, "http://127.0.0.1:7/"};
  ServiceRequests requests{kClient};
  CStatBtnClick stats{handler, requests};
};

TEST_F(CStatBtnClickTest, DocumentHoldsWindowsAndButtonsInAscendingOrder) {
  EXPECT_EQ(stats.BuildDocument(), kHeader + "</stat>");

  stats.CountClick(0, 3);   // no skin id: not counted
  stats.CountClick(-4, 3);  // neither
  EXPECT_EQ(stats.BuildDocument(), kHeader + "</stat>");

  stats.CountClick(5, 12);
  stats.CountClick(5, 12);
  EXPECT_EQ(stats.BuildDocument(),
            kHeader + "<dlg id=\"5\"><button id=\"12\" clicks=\"2\" /></dlg></stat>");

  stats.CountClick(173, 9);
  stats.CountClick(5, -1);
  stats.CountClick(5, 3);
  stats.CountClick(2, 40);
  EXPECT_EQ(stats.BuildDocument(), kHeader +
                                       "<dlg id=\"2\"><button id=\"40\" clicks=\"1\" /></dlg>"
                                       "<dlg id=\"5\"><button id=\"-1\" clicks=\"1\" />"
                                       "<button id=\"3\" clicks=\"1\" />"
                                       "<button id=\"12\" clicks=\"2\" /></dlg>"
                                       "<dlg id=\"173\"><button id=\"9\" clicks=\"1\" /></dlg>"
                                       "</stat>");
}

TEST_F(CStatBtnClickTest, AtMostOneReportPerRunWithTheDocumentOfItsTime) {
  stats.CountClick(5, 12);
  EXPECT_TRUE(stats.pending_report_id().empty());
  stats.SendReport();
  ASSERT_EQ(sender.sent.size(), 1u);
  EXPECT_EQ(stats.pending_report_id(), sender.sent[0].id);
  EXPECT_EQ(sender.sent[0].url, "http://127.0.0.1:7/api/uploadreport.php");
  EXPECT_EQ(sender.sent[0].callback, nullptr);
  EXPECT_EQ(
      *sender.sent[0].params,
      (FormParams{{"clientid", kClient},
                  {"content", kHeader + "<dlg id=\"5\"><button id=\"12\" clicks=\"1\" /></dlg>"
                                        "</stat>"}}));
  stats.CountClick(5, 12);
  stats.SendReport();
  stats.SendReport();
  EXPECT_EQ(sender.sent.size(), 1u);
}

TEST_F(CStatBtnClickTest, EventsGoOutWithoutCallback) {
  std::string id = stats.ReportEvent("bad_music", "list-1", "42");
  ASSERT_EQ(sender.sent.size(), 1u);
  EXPECT_EQ(id, sender.sent[0].id);
  EXPECT_EQ(sender.sent[0].url, "http://127.0.0.1:7/api/event.php");
  EXPECT_EQ(sender.sent[0].callback, nullptr);
  EXPECT_EQ(*sender.sent[0].params, (FormParams{{"client_id", kClient},
                                                {"type", "bad_music"},
                                                {"ext_id", "list-1"},
                                                {"ext_value", "42"},
                                                {"event_detail", ""}}));
  EXPECT_TRUE(stats.pending_report_id().empty());  // events are not the report
}

TEST_F(CStatBtnClickTest, ReportTimerIsHourlyAndStops) {
  loop::MainLoop loop;
  stats.StartReportTimer(loop);
  EXPECT_TRUE(stats.report_timer_running());
  EXPECT_EQ(CStatBtnClick::kReportPeriod.count(), 3600000);
  // A run shorter than the period sends nothing.
  loop.PumpPending();
  EXPECT_TRUE(sender.sent.empty());
  stats.StopReportTimer();
  EXPECT_FALSE(stats.report_timer_running());
}

}  // namespace
}  // namespace quillo::service
