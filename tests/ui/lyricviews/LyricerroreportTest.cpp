// The lyric error report box with the fake window system: one report per checked box in box
// order, only "其他" carrying the field's text; cancelling or closing sends nothing.
#include <gtest/gtest.h>

#include <cstdlib>

#include "FakeWindowSystem.h"
#include "fakes/FakeRequestSender.h"
#include "lyrics/LyricAnalyzer.h"
#include "platform/fs/FileSystem.h"
#include "platform/loop/MainLoop.h"
#include "service/api/JSRequestHandler.h"
#include "support/TempFolder.h"
#include "ui/dialogs/Lyricerroreport.h"
#include "ui/toolkit/LayerWindowRegistry.h"

namespace quillo::ui {
namespace {

class LyricerroreportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = folder_ / "a.lrc";
    ASSERT_TRUE(fs::WriteFile(path, "[00:01.00]一\n"));
    ASSERT_EQ(analyzer_.LoadLyric(path, "42"), 0);
    analyzer_.SetFetchParts({nullptr, nullptr, &reports_, nullptr, nullptr});
  }
  void ClickControl(int id) {
    system_.script.push_back([id] {
      LayerWnd& box = *LayerWindowRegistry::All().back();
      LayerControl* c = box.FindControl(id);
      ASSERT_NE(c, nullptr) << id;
      testing::Click(box, gfx::Point{(c->bounds.left + c->bounds.right) / 2,
                                     (c->bounds.top + c->bounds.bottom) / 2});
    });
  }
  void Type(const std::string& text) {
    system_.script.push_back([this, text] { system_.last->last_edit->SetText(text); });
  }
  // "type comment" per report sent, in order.
  std::vector<std::string> Sent() const {
    std::vector<std::string> rows;
    for (const auto& sent : sender_.sent) {
      std::string type, comment;
      for (const auto& [name, value] : *sent.params) {
        if (name == "lyric_error_type") type = value;
        if (name == "comment") comment = value;
      }
      rows.push_back(type + " " + comment);
    }
    return rows;
  }

  loop::MainLoop loop_;
  testing::FakeWindowSystem system_;
  testing::TempFolder folder_;
  testing::FakeRequestSender sender_;
  service::JSRequestHandler reports_{sender_, "http://127.0.0.1:9/"};
  lyrics::LyricAnalyzer analyzer_;
};

TEST_F(LyricerroreportTest, BoxesInOrderAndOnlyOtherCarriesTheText) {
  Lyricerroreport box;
  box.Layout();
  EXPECT_GT(box.height(), 130);
  EXPECT_EQ(box.title(), "歌词纠错");

  ClickControl(Lyricerroreport::CheckId(1));
  ClickControl(Lyricerroreport::LabelId(3));  // the text toggles its box too
  Type("时间不对");
  system_.script.push_back([] {
    LayerWnd& box = *LayerWindowRegistry::All().back();
    EXPECT_TRUE(box.FindControl(Lyricerroreport::CheckId(3))->checked);
    EXPECT_FALSE(box.FindControl(Lyricerroreport::CheckId(0))->checked);
    if (const char* dir = std::getenv("QUILLO_SCREENSHOT_DIR"))
      box.back_buffer().WritePng(std::string(dir) + "/lyric-error-report.png");
  });
  ClickControl(Lyricerroreport::kOk);
  EXPECT_TRUE(ShowLyricErrorReport(analyzer_, nullptr));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"2 ", "4 时间不对"}));

  // The text without "其他" checked is not sent; a second click clears a box.
  sender_.sent.clear();
  ClickControl(Lyricerroreport::CheckId(0));
  ClickControl(Lyricerroreport::CheckId(2));
  ClickControl(Lyricerroreport::CheckId(0));
  Type("不该发送");
  ClickControl(Lyricerroreport::kOk);
  EXPECT_TRUE(ShowLyricErrorReport(analyzer_, nullptr));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"3 "}));
  EXPECT_FALSE(system_.script_ran_out);
}

TEST_F(LyricerroreportTest, CancelCloseOrNothingCheckedSendsNothing) {
  for (int closing :
       {Lyricerroreport::kCancel, int(LayerMessageBoxDlg::kCloseId), Lyricerroreport::kOk}) {
    SCOPED_TRACE(closing);
    if (closing != Lyricerroreport::kOk) ClickControl(Lyricerroreport::CheckId(1));
    ClickControl(closing);
    EXPECT_FALSE(ShowLyricErrorReport(analyzer_, nullptr));
  }
  EXPECT_TRUE(sender_.sent.empty());
  EXPECT_FALSE(system_.script_ran_out);
}

}  // namespace
}  // namespace quillo::ui
