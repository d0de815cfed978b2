// Message box layout and answers, and the small windows' rules, with a scripted fake user.
#include <gtest/gtest.h>

#include "FakeWindowSystem.h"
#include "platform/loop/MainLoop.h"
#include "ui/dialogs/AskOnExitDlg.h"
#include "ui/dialogs/ColorPicker.h"
#include "ui/dialogs/CopyDeviceConfirmList.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/MusicTipDlg.h"
#include "ui/dialogs/OpenDeviceLoadingDlg.h"
#include "ui/dialogs/PromptMessageBoxDlg.h"
#include "ui/dialogs/SelectMessageBoxDlg.h"
#include "ui/dialogs/VolumeAdjustPopup.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::ui {
namespace {
using testing::Click;

class MessageBoxTest : public ::testing::Test {
 protected:
  // The newest live window: the box a helper opened.
  static LayerWnd& Top() { return *LayerWindowRegistry::All().back(); }
  // Queues a click on the centre of the top window's control.
  void ClickControl(int id) {
    system.script.push_back([id] {
      LayerControl* c = Top().FindControl(id);
      ASSERT_NE(c, nullptr) << id;
      Click(Top(), gfx::Point{(c->bounds.left + c->bounds.right) / 2,
                              (c->bounds.top + c->bounds.bottom) / 2});
    });
  }
  loop::MainLoop loop;
  testing::FakeWindowSystem system;
};

TEST_F(MessageBoxTest, LayoutHeights) {
  LayerMessageBoxDlg one_line(LayerMessageBoxDlg::kCaption, "确定要删除这首歌曲吗？");
  one_line.Layout();
  EXPECT_EQ(one_line.width(), 350);
  EXPECT_EQ(one_line.text_width(), 296);
  EXPECT_GE(one_line.height(), 125);
  EXPECT_LE(one_line.height(), 138);
  EXPECT_EQ(one_line.height(), 28 + one_line.text_height() + 30 + 13 + 40);

  std::string long_text;
  for (int i = 0; i < 8; ++i) long_text += "这是一段很长的提示文字，用来检查换行。";
  LayerMessageBoxDlg long_box(LayerMessageBoxDlg::kCaption, long_text);
  long_box.Layout();
  int line = one_line.text_height() - 5;
  EXPECT_GE(long_box.text_height() - 5, 4 * line);  // wrapped at 296 pixels into several lines
  EXPECT_EQ(long_box.height() - one_line.height(), long_box.text_height() - one_line.text_height());

  PromptMessageBoxDlg prompt(LayerMessageBoxDlg::kCaption, "确定要删除这首歌曲吗？", std::nullopt);
  prompt.Layout();
  EXPECT_EQ(prompt.height(), one_line.height() + 25);
  SelectMessageBoxDlg select(LayerMessageBoxDlg::kCaption, "确定要删除这首歌曲吗？", {"a", "b", "c"}, "b");
  select.Layout();
  EXPECT_EQ(select.height(), one_line.height() + 60);
}

TEST_F(MessageBoxTest, SelectBoxAnswers) {
  std::vector<std::string> options{"我的最爱", "华语经典", "夜间电台"};
  int chosen = -7;
  ClickControl(SelectMessageBoxDlg::kOk);
  EXPECT_TRUE(SelectBox("添加到：", options, "夜间电台", chosen));
  EXPECT_EQ(chosen, 2);

  ClickControl(SelectMessageBoxDlg::LabelId(0));  // the first option's text
  ClickControl(SelectMessageBoxDlg::kOk);
  EXPECT_TRUE(SelectBox("添加到：", options, "夜间电台", chosen));
  EXPECT_EQ(chosen, 0);

  chosen = -7;
  ClickControl(SelectMessageBoxDlg::RadioId(1));
  ClickControl(SelectMessageBoxDlg::kCancel);
  EXPECT_FALSE(SelectBox("添加到：", options, "夜间电台", chosen));
  EXPECT_EQ(chosen, -7);
}

TEST_F(MessageBoxTest, PromptAndConfirmAnswers) {
  std::string text = "unchanged";
  ClickControl(PromptMessageBoxDlg::kOk);
  EXPECT_TRUE(PromptBox("名称：", text, std::string("新建播放列表")));
  EXPECT_EQ(text, "新建播放列表");

  text = "unchanged";
  system.script.push_back([this] { system.last->last_edit->SetText("夜间电台"); });
  ClickControl(PromptMessageBoxDlg::kCancel);
  EXPECT_FALSE(PromptBox("名称：", text, std::string("新建播放列表")));
  EXPECT_EQ(text, "unchanged");

  ClickControl(1);
  EXPECT_TRUE(ConfirmBox("删除吗？"));
  ClickControl(2);
  EXPECT_FALSE(ConfirmBox("删除吗？"));
  ClickControl(LayerMessageBoxDlg::kCloseId);
  EXPECT_FALSE(ConfirmBox("删除吗？"));
  EXPECT_FALSE(system.script_ran_out);
}

TEST_F(MessageBoxTest, ModalRunDisablesAndRestoresTheOwner) {
  LayerWnd owner(0);
  owner.Create(gfx::Rect::FromXYWH(0, 0, 400, 300), nullptr);
  auto* owner_presenter = system.last;
  system.script.push_back([&] {
    EXPECT_FALSE(owner.IsEnabled());
    EXPECT_EQ(Top().WindowRect().left, 25);  // centred on the owner
  });
  ClickControl(0);
  AlertBox("好的", &owner);
  EXPECT_TRUE(owner.IsEnabled());
  EXPECT_TRUE(owner_presenter->enabled);
  EXPECT_EQ(owner_presenter->raised, 1);
}

// The program quits (its main window goes) while a box is open: the box ends with its owner
// instead of waiting for a click nobody can give.
TEST_F(MessageBoxTest, AModalBoxEndsWhenItsOwnerIsDestroyed) {
  LayerWnd owner(0);
  owner.Create(gfx::Rect::FromXYWH(0, 0, 400, 300), nullptr);
  system.script.push_back([&] {
    ASSERT_EQ(LayerWindowRegistry::All().size(), 2u);  // the owner and its box
    owner.Destroy();
  });
  AlertBox("好的", &owner);
  EXPECT_FALSE(system.script_ran_out);
  EXPECT_FALSE(owner.IsCreated());
  EXPECT_TRUE(LayerWindowRegistry::All().empty());  // the box went with its owner
}

TEST_F(MessageBoxTest, AskOnExitChoices) {
  AskOnExitDlg ask;
  ask.Layout();
  system.script.push_back([] {});
  ClickControl(3);  // the label of "关闭Zelbo音乐"
  ClickControl(AskOnExitDlg::kRememberCheck);
  ClickControl(AskOnExitDlg::kOk);
  RunModal(ask, CenteredOn(system.WorkArea(), ask.size()), nullptr);
  EXPECT_EQ(ask.result(), AskOnExitDlg::kOk);
  EXPECT_EQ(ask.choice(), AskOnExitDlg::Choice::kClose);
  EXPECT_FALSE(ask.remember());
}

TEST_F(MessageBoxTest, DeviceWaitingDialogStaysUntilTheWorkerFinishes) {
  std::atomic<bool> release{false};
  std::atomic<bool> worker_saw_dialog{false};
  // The user tries to close it first; it must stay.
  system.script.push_back([] { Top().Close(); });
  system.script.push_back([&] {
    EXPECT_TRUE(Top().IsCreated());
    release = true;
  });
  OpenDeviceLoadingDlg::Run("正在读取歌曲信息\n请稍候...", [&](OpenDeviceLoadingDlg& d) {
    worker_saw_dialog = d.IsCreated();
    while (!release) std::this_thread::yield();
    d.Finish();
  });
  EXPECT_TRUE(worker_saw_dialog);
  EXPECT_FALSE(system.script_ran_out);
}

TEST_F(MessageBoxTest, ColorPickerOpensOnceAndReportsStyles) {
  int chosen = -1;
  ColorPicker::SetStyleHandler([&](int style) { chosen = style; });
  ColorPicker* first = ShowColorPicker(10, 10);
  int windows = system.created;
  EXPECT_EQ(ShowColorPicker(50, 50), first);
  EXPECT_EQ(system.created, windows);
  EXPECT_EQ(first->WindowRect().left, 10);  // not moved
  Click(*first, gfx::Point{130, 50});  // preset 9: "金黄色", style 5
  loop.PumpPending();
  EXPECT_EQ(chosen, 5);
  static_cast<window::WindowEvents&>(*first).OnNativeActivated(false);
  loop.PumpPending();
  loop.PumpPending();
  EXPECT_EQ(ColorPicker::Current(), nullptr);
  ColorPicker::SetStyleHandler(nullptr);
}

class FixedVolume : public VolumeControl {
 public:
  int Volume() const override { return volume; }
  void SetVolume(int v) override { volume = v; }
  int volume = 50;
};

TEST_F(MessageBoxTest, VolumeFollowsTheThumb) {
  struct Case {
    int volume, left;
  } cases[] = {{0, 6}, {50, 36}, {100, 66}, {33, 25}, {150, 66}};
  for (const Case& c : cases) EXPECT_EQ(VolumeAdjustPopup::ThumbLeftFor(c.volume), c.left);
  EXPECT_EQ(VolumeAdjustPopup::VolumeFor(25), 32);  // 19 × 100 / 60 = 31.7, rounded
  FixedVolume volume;
  VolumeAdjustPopup* popup = ShowVolumePopup(nullptr, volume);
  ASSERT_NE(popup, nullptr);
  testing::Press(*popup, gfx::Point{75, 8});  // track click at the end: clamped
  EXPECT_EQ(volume.volume, 100);
  popup->Close();
  loop.PumpPending();
}

TEST(SmallWindowRulesTest, SongTipPlacementAndNumberColumn) {
  gfx::Rect work{0, 0, 1280, 1000};
  EXPECT_EQ(SongTipPosition(gfx::Rect{100, 50, 400, 500}, 12, 120, 200, work), (gfx::Point{388, 120}));
  EXPECT_EQ(SongTipPosition(gfx::Rect{900, 50, 1200, 500}, 12, 120, 200, work), (gfx::Point{700, 120}));
  EXPECT_EQ(SongTipPosition(gfx::Rect{100, 50, 1200, 500}, 12, 120, 200, work), (gfx::Point{1188, 120}));
  EXPECT_EQ(CopyDeviceConfirmList::NumberColumnWidth(99), 20);
  EXPECT_EQ(CopyDeviceConfirmList::NumberColumnWidth(100), 30);
  EXPECT_EQ(CopyDeviceConfirmList::NumberColumnWidth(1000), 40);
}

}  // namespace
}  // namespace quillo::ui
