// The settings dialog and the equaliser over the fake window system: what each control does to
// the working copy, the drop-down lists' answers, the colour popup, one dialog at a time on the
// page asked for, "应用" from any page writing every key, the previews' pixels, and the
// equaliser's presets, on/off, reset and balance reaching the store and the player.
#include <gtest/gtest.h>

#include <memory>

#include "FakeWindowSystem.h"
#include "platform/gfx/Painter.h"
#include "platform/loop/MainLoop.h"
#include "playback/EqualizerPresets.h"
#include "store/DocumentStore.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/dialogs/BalanceDlg.h"
#include "ui/dialogs/NewConfigDlg.h"
#include "ui/dialogs/NewConfigLyricBarPage.h"
#include "ui/dialogs/NewConfigLyricWindowPage.h"
#include "ui/dialogs/NewConfigPage.h"
#include "ui/dialogs/NewConfigPreviews.h"
#include "ui/dialogs/NewConfigWorkingCopy.h"
#include "ui/dialogs/SelectColorDlg.h"
#include "ui/lyricviews/LyricBarLook.h"

namespace quillo::ui {
namespace {

class NewConfigDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(runtime_.Open(false)); }
  void TearDown() override {
    dialog_.reset();
    runtime_.Close();
  }
  store::DocumentStore& store() { return runtime_.store(); }
  NewConfigDlg& Open(int page) {
    NewConfigEffects effects;
    effects.reload_lyric_looks = [this] { ++reloads_; };
    effects.counts_changed = [this] { ++count_changes_; };
    NewConfigDlg::Services services{store(),
                                    {"DejaVu Sans", "@Hidden", "Noto Sans CJK SC"},
                                    false,
                                    FolderQuestions{[](const std::string&) {},
                                                    [](const std::string&) { return true; }},
                                    std::move(effects),
                                    nullptr,
                                    {}};
    dialog_ = std::make_unique<NewConfigDlg>(std::move(services), page);
    EXPECT_TRUE(dialog_->Create(dialog_->InitialRect({}), nullptr));
    return *dialog_;
  }
  // A click on the control, as the toolkit delivers it (a label acts for its control).
  void Press(int id) {
    LayerControl* control = dialog_->FindControl(id);
    ASSERT_NE(control, nullptr) << id;
    dialog_->PostLayerEvent(control, id);
    loop_.PumpPending();
  }
  bool Shown(int id) {
    LayerControl* c = dialog_->FindControl(id);
    return c && !c->hidden;
  }

  loop::MainLoop loop_;
  testing::FakeWindowSystem system_;
  testing::TempFolder folder_;
  store::StoreRuntime runtime_{folder_ / "data/"};
  std::unique_ptr<NewConfigDlg> dialog_;
  int reloads_ = 0;
  int count_changes_ = 0;
};

TEST_F(NewConfigDlgTest, OpensOnTheAskedPageAndTheTreeFollowsTheGroups) {
  NewConfigDlg& dlg = Open(1);
  EXPECT_EQ(dlg.page(), 10);
  EXPECT_EQ(dlg.ClientSize(), (gfx::Size{576, 452}));
  EXPECT_EQ(dlg.title(), "Zelbo音乐设置");
  EXPECT_TRUE(Shown(18));
  EXPECT_FALSE(Shown(47));
  EXPECT_TRUE(Shown(11));
  EXPECT_FALSE(Shown(14));
  EXPECT_EQ(dlg.FindControl(13)->bounds.top, 347);
  Press(13);  // a group header: its first page
  EXPECT_EQ(dlg.page(), 14);
  EXPECT_TRUE(Shown(47));
  EXPECT_FALSE(Shown(18));
  EXPECT_FALSE(Shown(10));
  EXPECT_EQ(dlg.FindControl(13)->bounds.top, 60);
  Press(15);
  EXPECT_EQ(dlg.page(), 15);
  Press(13);  // the open group's header does nothing
  EXPECT_EQ(dlg.page(), 15);
  Press(16);
  EXPECT_EQ(dlg.page(), 17);
  EXPECT_EQ(dlg.FindControl(17)->bounds.top, 123);
  dlg.SelectPage(11);
  EXPECT_EQ(dlg.group(), 9);
  ASSERT_NE(dlg.count_edit(), nullptr);
  EXPECT_EQ(dlg.count_edit()->Text(), "2");
  dlg.SelectPage(12);
  EXPECT_FALSE(dlg.count_edit()->IsCreated());  // the edit shows on its page only
  EXPECT_EQ(dlg.fonts(), (std::vector<std::string>{"宋体", "黑体", "Verdana", "Arial",
                                                   "DejaVu Sans", "Noto Sans CJK SC"}));
}

TEST_F(NewConfigDlgTest, EachControlChangesItsKeyAndApplyFromAnyPageWritesThemAll) {
  NewConfigDlg& dlg = Open(10);
  NewConfigWorkingCopy& w = dlg.working();
  Press(22);
  EXPECT_EQ(w.Get("sorvel.minimal.type"), "min");
  EXPECT_TRUE(dlg.FindControl(22)->checked);
  EXPECT_FALSE(dlg.FindControl(20)->checked);
  Press(27);  // the label of 26
  EXPECT_EQ(w.Get("sorvel.music.onerrorresumenext"), "false");
  Press(18);
  EXPECT_EQ(w.Get("sorvel.autorun"), "true");

  dlg.SelectPage(11);
  Press(38);  // 2 - 2 stops at 1
  EXPECT_EQ(w.DownloadCount(), 1);
  EXPECT_EQ(dlg.count_edit()->Text(), "1");
  EXPECT_EQ(dlg.FindControl(37)->bounds.left, 192);
  for (int i = 0; i < 12; ++i) Press(39);
  EXPECT_EQ(w.DownloadCount(), 20);
  EXPECT_EQ(dlg.FindControl(37)->bounds.left, 192 + 179);
  dlg.count_edit()->SetText("x9");  // junk keeps the count
  dlg.count_edit()->Commit();
  EXPECT_EQ(w.DownloadCount(), 20);
  dlg.count_edit()->SetText("6");
  dlg.count_edit()->Commit();
  EXPECT_EQ(w.DownloadCount(), 6);

  dlg.SelectPage(12);
  Press(41);
  EXPECT_EQ(w.CacheCount(), 80);
  LayerControl* thumb = dlg.FindControl(40);
  thumb->bounds = gfx::Rect::FromXYWH(252 + 179, thumb->bounds.top, 13, 17);
  dlg.OnSliderRelease(*thumb);
  EXPECT_EQ(w.CacheCount(), 200);

  dlg.SelectPage(17);
  Press(78);
  EXPECT_EQ(w.Get("sorvel.music.sendtomsn.type"), "lyric");
  Press(75);
  EXPECT_EQ(w.Get("sorvel.music.sendtomsn"), "false");

  dlg.SelectPage(14);
  Press(NewConfigLyricBarPage::kFirstScheme + 4);
  EXPECT_EQ(w.Get("window.lyricbar.color"), "4");
  Press(NewConfigLyricBarPage::kKaraoke);
  EXPECT_EQ(w.Get("window.lyricbar.karamode"), "false");
  NewConfigPage* page = dlg.CurrentPage();
  page->OnPopupChosen(NewConfigLyricBarPage::kChineseFontList, 4);
  page->OnPopupChosen(NewConfigLyricBarPage::kSizeList, 24);
  page->OnPopupChosen(NewConfigLyricBarPage::kAlignList, 0);
  EXPECT_EQ(w.Get("window.lyricbar.chnfont"), "DejaVu Sans");
  EXPECT_EQ(w.Get("window.lyricbar.fontsize"), "16");
  EXPECT_EQ(w.Get("window.lyricbar.text_align"), "left");
  EXPECT_EQ(dlg.FindControl(NewConfigLyricBarPage::kAlign)->text, "左对齐");

  // "应用" on the messenger page writes the lyric keys and the counts too, and tells the views
  // and the download manager.
  dlg.SelectPage(17);
  Press(NewConfigDlg::kApplyId);
  EXPECT_EQ(store().GetConfigText("window.lyricbar.chnfont"), "DejaVu Sans");
  EXPECT_EQ(store().GetConfigText("sorvel.music.max_download_thread"), "6");
  EXPECT_EQ(store().GetConfigText("sorvel.cache.size"), "200");
  EXPECT_EQ(store().GetConfigText("sorvel.minimal.type"), "min");
  EXPECT_EQ(reloads_, 1);
  EXPECT_EQ(count_changes_, 1);
  EXPECT_TRUE(dlg.IsCreated());  // "应用" keeps the dialog

  dlg.SelectPage(14);
  Press(NewConfigLyricBarPage::kDefaults);
  EXPECT_EQ(w.Get("window.lyricbar.chnfont"), "黑体");
  EXPECT_EQ(w.Get("window.lyricbar.karamode"), "true");
}

TEST_F(NewConfigDlgTest, TheColourPopupSetsTheKeyOfItsRequestOnePopupAtATime) {
  NewConfigDlg& dlg = Open(15);
  Press(NewConfigLyricWindowPage::kCurrentColor);
  SelectColorDlg* popup = SelectColorDlg::Current();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->request_id(), NewConfigLyricWindowPage::kCurrentRequest);
  EXPECT_EQ(popup->ClientSize(), (gfx::Size{161, 164}));
  Press(NewConfigLyricWindowPage::kTextColor);  // one open already: nothing new
  EXPECT_EQ(SelectColorDlg::Current(), popup);
  const gfx::Color white = popup->CellColor(0);
  const gfx::Color black = popup->CellColor(7);
  EXPECT_EQ(white, gfx::Color::Rgb(255, 255, 255));
  EXPECT_EQ(black, gfx::Color::Rgb(0, 0, 0));
  popup->Pick(7);
  EXPECT_EQ(dlg.working().Get("window.lyricdlg.ccolor"), "#000000");
  EXPECT_EQ(dlg.working().Get("window.lyricdlg.fcolor"), "#6bc9ff");
  Press(NewConfigLyricWindowPage::kDefaults);
  EXPECT_EQ(dlg.working().Get("window.lyricdlg.fcolor"), "#6dc9ff");
  EXPECT_EQ(dlg.working().Get("window.lyricdlg.ccolor"), "#ff9900");
}

TEST_F(NewConfigDlgTest, PreviewsFollowTheSchemeTheAlignmentAndTheBackground) {
  NewConfigWorkingCopy w(store(), false);
  const gfx::Rect area{0, 0, 338, 68};
  // Where the letters start: centred by default, at the left edge when aligned left.
  auto first_column = [&](const NewConfigWorkingCopy& copy) {
    gfx::Surface s(338, 68);
    NewConfigPreviews::DrawLyricBar(s, area, copy);
    for (int x = 0; x < 338; ++x)
      for (int y = 0; y < 68; ++y)
        if (s.ColorAt(x, y).a > 128) return x;
    return -1;
  };
  const int centred = first_column(w);
  w.Set("window.lyricbar.text_align", "left");
  const int left = first_column(w);
  EXPECT_GT(centred, 20);
  EXPECT_LE(left, 3);
  // Karaoke on: the left part in the sung colours (scheme 0: blue-green), the rest unsung
  // (red-yellow). Karaoke off: unsung throughout.
  auto blue_share = [&](const NewConfigWorkingCopy& copy) {
    gfx::Surface s(338, 68);
    NewConfigPreviews::DrawLyricBar(s, area, copy);
    int blue = 0, inked = 0;
    for (int x = 0; x < 338; ++x)
      for (int y = 0; y < 68; ++y) {
        const gfx::Color c = s.ColorAt(x, y);
        if (c.a < 250) continue;
        ++inked;
        blue += c.b > c.r;
      }
    return inked ? double(blue) / inked : 0.0;
  };
  EXPECT_GT(blue_share(w), 0.15);
  w.Set("window.lyricbar.karamode", "false");
  EXPECT_LT(blue_share(w), 0.05);

  gfx::Surface lyric(200, 120);
  w.SetColor("window.lyricdlg.bcolor", gfx::Color::Rgb(0, 128, 0));
  NewConfigPreviews::DrawLyricWindow(lyric, {0, 0, 200, 120}, w);
  EXPECT_EQ(lyric.ColorAt(2, 2), gfx::Color::Rgb(0, 128, 0));
}

// ---- The equaliser ----------------------------------------------------------------------------

class BalanceDlgTest : public NewConfigDlgTest {
 protected:
  BalanceDlg& OpenEqualizer() {
    BalanceDlg::Parts parts{gains_, presets_, store(),
                            [this](const playback::EqualizerGains&) { ++applied_; },
                            [this] { return balance_; }, [this](int b) { balance_ = b; }, {},
                            {}, {}, {}, {}};
    equalizer_ = std::make_unique<BalanceDlg>(std::move(parts));
    EXPECT_TRUE(equalizer_->Create(equalizer_->InitialRect({}), nullptr));
    return *equalizer_;
  }
  void Press(int id) { equalizer_->OnControlEvent(equalizer_->FindControl(id), id); }
  void TearDown() override {
    equalizer_.reset();
    NewConfigDlgTest::TearDown();
  }

  playback::EqualizerGains gains_;
  playback::EqualizerPresets presets_;
  int applied_ = 0;
  int balance_ = 40;
  std::unique_ptr<BalanceDlg> equalizer_;
};

TEST_F(BalanceDlgTest, PresetsOnOffResetAndTheBalanceReachTheStoreAndThePlayer) {
  BalanceDlg& eq = OpenEqualizer();
  EXPECT_EQ(eq.title(), "均衡器");
  EXPECT_EQ(eq.FindControl(BalanceDlg::kBalance)->bounds.left, 40 * 61 / 200 + 66);
  eq.ChoosePreset(10);  // 重高
  EXPECT_EQ(store().GetConfigText("sorvel.eq.type"), "10");
  EXPECT_EQ(gains_.Gain(6), 12.0);
  EXPECT_EQ(gains_.Gain(9), 0.0);
  EXPECT_EQ(eq.FindControl(BalanceDlg::kPreset)->text, "重高");
  EXPECT_EQ(eq.FindControl(BalanceDlg::kFirstBand + 6)->bounds.top, 72);  // +12 at the top
  EXPECT_EQ(applied_, 1);

  // A band dragged: the selector shows the custom row.
  LayerControl* band = eq.FindControl(BalanceDlg::kFirstBand);
  band->bounds = gfx::Rect::FromXYWH(band->bounds.left, 72, band->bounds.width(),
                                     band->bounds.height());
  eq.OnSliderRelease(*band);
  EXPECT_EQ(gains_.Gain(0), 12.0);
  EXPECT_EQ(eq.FindControl(BalanceDlg::kPreset)->text, "自定义");
  EXPECT_EQ(store().GetConfigText("sorvel.eq.type"), "0");

  Press(BalanceDlg::kOnOff);
  EXPECT_FALSE(eq.model().enabled());
  EXPECT_EQ(eq.FindControl(BalanceDlg::kOnOff)->text, "开启");
  for (int b = 0; b < 10; ++b) EXPECT_EQ(gains_.Gain(b), 0.0);
  eq.ChoosePreset(3);  // while off only the button reacts
  EXPECT_EQ(gains_.Gain(0), 0.0);
  Press(BalanceDlg::kOnOff);
  EXPECT_EQ(eq.FindControl(BalanceDlg::kOnOff)->text, "禁用");

  eq.ChoosePreset(8);
  Press(BalanceDlg::kReset);
  EXPECT_EQ(balance_, 0);
  EXPECT_EQ(eq.FindControl(BalanceDlg::kBalance)->bounds.left, 66);
  for (int b = 0; b < 10; ++b) EXPECT_EQ(gains_.Gain(b), 0.0);
  EXPECT_EQ(store().GetConfigText("sorvel.eq.value"),
            "0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,0.00,");

  LayerControl* knob = eq.FindControl(BalanceDlg::kBalance);
  knob->bounds = gfx::Rect::FromXYWH(BalanceDlg::kBalanceLeft + 61, knob->bounds.top, 10, 12);
  eq.OnSliderRelease(*knob);
  EXPECT_EQ(balance_, 100);
}

}  // namespace
}  // namespace quillo::ui
