// Under X (Xvfb), with real pointer events through XTest and real focus changes: popups close
// when another window is activated, and the colour picker opens once only.
#include <gtest/gtest.h>

#include <vector>

#include "GuiHarness.h"
#include "platform/window/WindowSystem.h"
#include "ui/dialogs/ColorPicker.h"
#include "ui/dialogs/VolumeAdjustPopup.h"
#include "ui/toolkit/LayerDlg.h"
#include "ui/toolkit/LayerWindowRegistry.h"

namespace quillo::ui {
namespace {
using testing::ClickAt;
using testing::IsOnScreen;
using testing::WaitFor;

// Stands in for the main window: its colour button (18) opens the picker at the pointer, as the
// main window does; it has the mini layout's volume button (33) and hears closed popups.
class MainStandIn : public LayerDlg {
 public:
  static constexpr int kColorButton = ColorPicker::kOwnerColorButtonId;
  static constexpr int kVolumeButton = VolumeAdjustPopup::kOwnerVolumeButtonId;
  MainStandIn() { SetTitle("Zelbo音乐"); }
  void InitLayer() override {
    LayerDlg::InitLayer();
    AddTextButton(gfx::Rect::FromXYWH(20, 40, 64, 20), "颜色", kColorButton);
    AddTextButton(gfx::Rect::FromXYWH(20, 80, 64, 20), "音量", kVolumeButton);
  }
  void OnControlEvent(LayerControl* control, int code) override {
    if (code == kColorButton) {
      ++color_clicks;
      gfx::Point at = window::WindowSystem::Instance()->CursorPosition();
      ShowColorPicker(at.x, at.y, this);
      return;
    }
    LayerDlg::OnControlEvent(control, code);
  }
  void OnPopupClosed(int first, int second) override { closed.push_back({first, second}); }

  int color_clicks = 0;
  std::vector<std::pair<int, int>> closed;
};

class PlayerVolume : public VolumeControl {
 public:
  int Volume() const override { return volume; }
  void SetVolume(int v) override { volume = v; }
  int volume = 20;
};

int LivePickers() {
  int n = 0;
  for (LayerWnd* w : LayerWindowRegistry::All()) n += dynamic_cast<ColorPicker*>(w) != nullptr;
  return n;
}

class PopupGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::GuiRuntime()) GTEST_SKIP() << "no display";
    other.SetTitle("歌词");
    ASSERT_TRUE(other.Create(gfx::Rect::FromXYWH(760, 80, 300, 200), nullptr));
    ASSERT_TRUE(
        main.Create(gfx::Rect::FromXYWH(100, 80, 600, 400), nullptr, window::WindowKind::kMain));
    ASSERT_TRUE(WaitFor([&] { return IsOnScreen(other) && IsOnScreen(main); }));
  }
  void TearDown() override {
    ColorPicker::SetStyleHandler(nullptr);
    main.Destroy();
    other.Destroy();
    WaitFor([] { return testing::NewestWindow() == nullptr; });
  }

  MainStandIn main;
  LayerDlg other;
};

TEST_F(PopupGuiTest, VolumePopupTakesATrackClickAndClosesWhenAnotherWindowIsActivated) {
  PlayerVolume volume;
  VolumeAdjustPopup* popup = ShowVolumePopup(&main, volume);
  ASSERT_NE(popup, nullptr);
  gfx::Rect button = main.FindControl(MainStandIn::kVolumeButton)->bounds;
  gfx::Rect m = main.WindowRect();
  gfx::Rect at = popup->WindowRect();
  EXPECT_EQ(at.left, m.left + button.left + 9);
  EXPECT_EQ(at.top, m.top + button.top + 17);
  ASSERT_TRUE(WaitFor([&] { return IsOnScreen(*popup) && popup->IsActive(); }));

  // A click on the track 40 pixels in centres the 10-pixel thumb there: left 41, volume 58.
  ClickAt(gfx::Point{at.left + VolumeAdjustPopup::kTrack.left + 40, at.top + 8});
  EXPECT_TRUE(WaitFor([&] { return volume.volume != 20; }));
  EXPECT_EQ(volume.volume, 58);
  EXPECT_EQ(VolumeAdjustPopup::Current(), popup);  // a click inside keeps it open
  EXPECT_TRUE(main.closed.empty());

  ASSERT_TRUE(testing::FocusNativeWindow(other));
  EXPECT_TRUE(WaitFor([] { return VolumeAdjustPopup::Current() == nullptr; }));
  ASSERT_EQ(main.closed.size(), 1u);
  EXPECT_EQ(main.closed[0], (std::pair<int, int>{VolumeAdjustPopup::kPopupClosedCode, 0}));
  EXPECT_EQ(LayerWindowRegistry::All().size(), 2u);  // the stand-in and the other window
}

TEST_F(PopupGuiTest, ColorButtonOpensOnePickerAndClickingItAgainOnlyRaisesIt) {
  int style = -1;
  ColorPicker::SetStyleHandler([&](int n) { style = n; });
  gfx::Point centre = testing::ControlCentre(main, MainStandIn::kColorButton);
  ClickAt(centre);
  ASSERT_TRUE(WaitFor([] {
    return ColorPicker::Current() && IsOnScreen(*ColorPicker::Current()) &&
           ColorPicker::Current()->IsActive();
  }));
  ColorPicker* picker = ColorPicker::Current();
  gfx::Rect opened = picker->WindowRect();
  EXPECT_EQ(opened.left, centre.x);  // at the pointer
  EXPECT_EQ(opened.top, centre.y);
  EXPECT_EQ(opened.width(), ColorPicker::kWidth);

  // Again, on a part of the button the picker does not cover (it opened at the button's centre).
  gfx::Rect button = main.FindControl(MainStandIn::kColorButton)->bounds;
  ClickAt(
      gfx::Point{main.WindowRect().left + button.left + 4, main.WindowRect().top + button.top + 4});
  ASSERT_TRUE(WaitFor([&] { return main.color_clicks == 2; }));
  EXPECT_EQ(ColorPicker::Current(), picker);
  EXPECT_EQ(LivePickers(), 1);
  EXPECT_EQ(picker->WindowRect(), opened);  // not moved

  ClickAt(testing::ControlCentre(*picker, ColorPicker::kFirstPresetId + 5));  // "金黄色"
  EXPECT_TRUE(WaitFor([&] { return style != -1; }));
  EXPECT_EQ(style, 5);

  ASSERT_TRUE(testing::FocusNativeWindow(other));
  EXPECT_TRUE(WaitFor([] { return ColorPicker::Current() == nullptr; }));
  EXPECT_EQ(LivePickers(), 0);
}

}  // namespace
}  // namespace quillo::ui
