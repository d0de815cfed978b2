// Popups owned by the window that opened them: deleted from the loop after they close, destroyed
// with an owner that goes first, and never calling an owner that is gone.
#include "ui/toolkit/PopupOwner.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "FakeWindowSystem.h"
#include "platform/loop/MainLoop.h"
#include "ui/dialogs/ColorPicker.h"
#include "ui/dialogs/MusicTipDlg.h"
#include "ui/dialogs/VolumeAdjustPopup.h"
#include "ui/toolkit/LayerDlg.h"
#include "ui/toolkit/LayerPopup.h"

namespace quillo::ui {
namespace {

// An owner that records what its popups ask of it.
class Owner : public LayerDlg {
 public:
  void InitLayer() override {
    LayerDlg::InitLayer();
    AddTextButton(gfx::Rect::FromXYWH(10, 40, 60, 20), "颜色", ColorPicker::kOwnerColorButtonId);
    AddTextButton(gfx::Rect::FromXYWH(10, 70, 60, 20), "音量",
                  VolumeAdjustPopup::kOwnerVolumeButtonId);
  }
  void OnPopupClosed(int first, int second) override { closed.emplace_back(first, second); }
  void DrawControl(LayerControl& control) override {
    ++redraws;
    LayerDlg::DrawControl(control);
  }
  std::vector<std::pair<int, int>> closed;
  int redraws = 0;
};

// Counts its own deletions, so a test sees when (and that) the object went.
class CountedPopup : public LayerPopup {
 public:
  explicit CountedPopup(int& deleted) : LayerPopup(0), deleted_(deleted) {}
  ~CountedPopup() override { ++deleted_; }
  void OnDestroy() override { PopupOwner::ReleaseAnywhere(this); }

 private:
  int& deleted_;
};

class FixedVolume : public VolumeControl {
 public:
  int Volume() const override { return 40; }
  void SetVolume(int) override {}
};

class PopupOwnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(owner.Create(gfx::Rect::FromXYWH(100, 100, 400, 300), nullptr));
  }
  CountedPopup* OpenCounted(LayerWnd& for_window) {
    CountedPopup* popup = for_window.popups().Adopt(std::make_unique<CountedPopup>(deleted));
    EXPECT_TRUE(popup->Create(gfx::Rect::FromXYWH(120, 120, 50, 50), &for_window));
    return popup;
  }
  loop::MainLoop loop;
  testing::FakeWindowSystem system;
  Owner owner;
  int deleted = 0;
};

TEST_F(PopupOwnerTest, AClosedPopupIsDeletedFromTheLoopNotInsideItsOwnCall) {
  CountedPopup* popup = OpenCounted(owner);
  EXPECT_EQ(owner.popups().open_count(), 1u);
  popup->Close();  // the popup's own stack: the object must survive this call
  EXPECT_EQ(deleted, 0);
  EXPECT_EQ(owner.popups().open_count(), 0u);
  EXPECT_EQ(owner.popups().released_count(), 1u);
  loop.PumpPending();
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(owner.popups().released_count(), 0u);
}

TEST_F(PopupOwnerTest, PopupsGoWithTheirOwnerWhetherOpenOrWaitingForDeletion) {
  struct Case {
    const char* what;
    bool close_first;
  } cases[] = {{"open when the owner goes", false}, {"deletion queued when the owner goes", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    deleted = 0;
    {
      Owner short_lived;
      ASSERT_TRUE(short_lived.Create(gfx::Rect::FromXYWH(0, 0, 200, 100), nullptr));
      CountedPopup* popup = OpenCounted(short_lived);
      if (c.close_first) popup->Close();
      EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 1);
    loop.PumpPending();  // a queued deletion of the gone owner must not run
    EXPECT_EQ(deleted, 1);
  }
}

TEST_F(PopupOwnerTest, AWindowRefEmptiesWhenItsWindowIsDestroyedAndAgainAfterARecreate) {
  WindowRef ref = owner.Ref();
  EXPECT_EQ(ref.get(), &owner);
  owner.Destroy();
  EXPECT_EQ(ref.get(), nullptr);
  ASSERT_TRUE(owner.Create(gfx::Rect::FromXYWH(100, 100, 400, 300), nullptr));
  EXPECT_EQ(ref.get(), nullptr);  // an old reference stays empty
  EXPECT_EQ(owner.Ref().get(), &owner);
  WindowRef gone;
  {
    Owner temporary;
    gone = temporary.Ref();
    EXPECT_TRUE(gone);
  }
  EXPECT_FALSE(gone);
}

TEST_F(PopupOwnerTest, TheVolumePopupTellsALiveOwnerButNotOneThatIsGone) {
  FixedVolume volume;
  VolumeAdjustPopup* popup = ShowVolumePopup(&owner, volume);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(VolumeAdjustPopup::Current(), popup);
  popup->Close();
  loop.PumpPending();
  EXPECT_EQ(owner.closed,
            (std::vector<std::pair<int, int>>{{VolumeAdjustPopup::kPopupClosedCode, 0}}));
  EXPECT_EQ(VolumeAdjustPopup::Current(), nullptr);

  owner.closed.clear();
  ASSERT_NE(ShowVolumePopup(&owner, volume), nullptr);
  owner.Destroy();  // the popup closes with its owner: no call into it
  loop.PumpPending();
  EXPECT_TRUE(owner.closed.empty());
  EXPECT_EQ(VolumeAdjustPopup::Current(), nullptr);
}

TEST_F(PopupOwnerTest, TheColorPickerRedrawsALiveOwnersButtonOnlyAndOpensOnceAcrossOwners) {
  ColorPicker* picker = ShowColorPicker(10, 10, &owner);
  ASSERT_NE(picker, nullptr);
  Owner other;
  ASSERT_TRUE(other.Create(gfx::Rect::FromXYWH(600, 100, 200, 100), nullptr));
  EXPECT_EQ(ShowColorPicker(50, 50, &other), picker);  // one picker in the process
  EXPECT_EQ(other.popups().open_count(), 0u);
  owner.redraws = 0;
  picker->Close();
  EXPECT_GE(owner.redraws, 1);  // its colour button comes back
  loop.PumpPending();

  ASSERT_NE(ShowColorPicker(10, 10, &owner), nullptr);
  owner.redraws = 0;
  owner.Destroy();
  EXPECT_EQ(owner.redraws, 0);
  EXPECT_EQ(ColorPicker::Current(), nullptr);
}

TEST_F(PopupOwnerTest, TheSongTipBelongsToTheWindowItWasShownFor) {
  ShowSongTip(10, 10, 200, "后来", "刘若英", "我等你", false, &owner);
  MusicTipDlg* tip = MusicTipDlg::Current();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(owner.popups().Find<MusicTipDlg>(), tip);
  // Shown again for the same row: the same tip moves.
  ShowSongTip(30, 30, 200, "晴天", "周杰伦", "叶惠美", false, &owner);
  EXPECT_EQ(MusicTipDlg::Current(), tip);
  EXPECT_EQ(tip->texts().title, "晴天");
  HideSongTip();
  EXPECT_EQ(MusicTipDlg::Current(), nullptr);
  loop.PumpPending();
  EXPECT_EQ(owner.popups().released_count(), 0u);

  ShowSongTip(10, 10, 200, "后来", "刘若英", "我等你", false, &owner);
  owner.Destroy();
  EXPECT_EQ(MusicTipDlg::Current(), nullptr);
}

}  // namespace
}  // namespace quillo::ui
