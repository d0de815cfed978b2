// Under X (Xvfb): the gallery's screenshots show transparent rounded corners, anti-aliased
// edges and the title text; a confirm box answers a real click (XTest through xdotool).
#include <gtest/gtest.h>

#include <gdk/gdk.h>

#include <cstdlib>
#include <string>

#include "platform/fs/FileSystem.h"
#include "platform/loop/MainLoop.h"
#include "support/TempFolder.h"
#include "ui/dialogs/ConfirmMessageBoxDlg.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::ui {
namespace {

bool HaveDisplay() { return std::getenv("DISPLAY") != nullptr; }

std::optional<gfx::Surface> Screenshot(const std::string& name, const testing::TempFolder& folder) {
  std::string file = folder / (name + ".png");
  std::string command = std::string("GDK_BACKEND=x11 ") + QUILLO_BINARY_DIR +
                        "/tools/quillo-ui-gallery/quillo-ui-gallery --screenshot " + name + " " + file;
  if (std::system(command.c_str()) != 0) return std::nullopt;
  auto bytes = fs::ReadWholeFile(file);
  if (!bytes) return std::nullopt;
  return gfx::Surface::FromPng(*bytes);
}

TEST(GalleryGuiTest, ScreenshotsHaveTransparentCornersAndTitleText) {
  if (!HaveDisplay()) GTEST_SKIP() << "no DISPLAY";
  testing::TempFolder folder;
  for (const char* name : {"alert", "select", "copyconfirm", "dialog"}) {
    auto shot = Screenshot(name, folder);
    ASSERT_TRUE(shot.has_value()) << name;
    EXPECT_EQ(shot->PixelAt(0, 0) >> 24, 0u) << name;  // rounded corner
    EXPECT_EQ(shot->PixelAt(shot->width() - 1, shot->height() - 1) >> 24, 0u) << name;
    int soft = 0;  // partly transparent pixels along the corner curve
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 6; ++x) {
        unsigned a = shot->PixelAt(x, y) >> 24;
        soft += a > 0 && a < 255;
      }
    }
    EXPECT_GT(soft, 0) << name;
    int light = 0;  // title text: near-white pixels in the title band
    for (int y = 9; y < 26; ++y) {
      for (int x = 31; x < 140; ++x) {
        gfx::Color c = shot->ColorAt(x, y);
        light += c.r > 235 && c.g > 235 && c.b > 235;
      }
    }
    EXPECT_GT(light, 20) << name;
  }
  auto tip = Screenshot("songtip", folder);
  ASSERT_TRUE(tip.has_value());
  EXPECT_EQ(tip->ColorAt(1, 30), (gfx::Color{255, 248, 225, 255}));
  EXPECT_EQ(tip->ColorAt(0, 0), (gfx::Color{154, 144, 103, 255}));
}

TEST(GalleryGuiTest, ConfirmBoxAnswersARealClick) {
  if (!HaveDisplay()) GTEST_SKIP() << "no DISPLAY";
  setenv("GDK_BACKEND", "x11", 1);
  int argc = 1;
  char name[] = "ui_gui_tests";
  char* args[] = {name, nullptr};
  char** argv = args;
  auto runtime = UiRuntime::Start(&argc, &argv);
  ASSERT_TRUE(runtime);
  for (int yes_button : {1, 3000}) {
    loop::LoopTarget clicker(runtime->loop());
    bool clicked = false;
    // Waits (by condition) until the box is on screen, then clicks its button with XTest.
    clicker.SetTimer(1, std::chrono::milliseconds(20), [&] {
      auto all = LayerWindowRegistry::All();
      if (clicked || all.empty() || !all.back()->IsVisible()) return;
      LayerWnd& box = *all.back();
      LayerControl* c = box.FindControl(yes_button);
      if (!c) return;
      gdk_display_sync(gdk_display_get_default());
      gfx::Rect r = box.WindowRect();
      int x = r.left + (c->bounds.left + c->bounds.right) / 2;
      int y = r.top + (c->bounds.top + c->bounds.bottom) / 2;
      std::string command = "xdotool mousemove --sync " + std::to_string(x) + " " +
                            std::to_string(y) + " click 1";
      clicked = std::system(command.c_str()) == 0;
    });
    bool answer = ConfirmBox("确定要删除选中的歌曲吗？");
    EXPECT_TRUE(clicked);
    EXPECT_EQ(answer, yes_button == 1);
  }
}

}  // namespace
}  // namespace quillo::ui
