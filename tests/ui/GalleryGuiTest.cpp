// Under X (Xvfb): the gallery's screenshots show transparent rounded corners, anti-aliased
// edges and the title text, and every item comes up without a GTK warning.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "platform/gfx/Surface.h"
#include "support/TempFolder.h"

namespace quillo::ui {
namespace {

bool HaveDisplay() {
  return std::getenv("DISPLAY") != nullptr;
}

const std::string kGallery =
    std::string(QUILLO_BINARY_DIR) + "/tools/quillo-ui-gallery/quillo-ui-gallery";

std::vector<std::string> GalleryNames() {
  std::vector<std::string> names;
  FILE* out = popen((kGallery + " --list").c_str(), "r");
  if (!out) return names;
  char line[128];
  while (std::fgets(line, sizeof line, out)) {
    std::string name(line);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    if (!name.empty()) names.push_back(name);
  }
  pclose(out);
  return names;
}

// Runs the gallery with GTK's warnings made fatal, so that a warning fails the screenshot.
std::optional<gfx::Surface> Screenshot(const std::string& name, const testing::TempFolder& folder) {
  std::string file = folder / (name + ".png");
  std::string command = "GDK_BACKEND=x11 NO_AT_BRIDGE=1 G_DEBUG=fatal-warnings " + kGallery +
                        " --screenshot " + name + " " + file;
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

// Every item comes up and is written out, and GTK has nothing to complain about on the way
// (warnings and criticals are fatal here).
TEST(GalleryGuiTest, EveryItemScreenshotsWithoutGtkWarnings) {
  if (!HaveDisplay()) GTEST_SKIP() << "no DISPLAY";
  testing::TempFolder folder;
  std::vector<std::string> names = GalleryNames();
  ASSERT_GE(names.size(), 21u);
  for (const std::string& name : names) {
    auto shot = Screenshot(name, folder);
    ASSERT_TRUE(shot.has_value()) << name;
    int opaque = 0;
    for (int y = 0; y < shot->height(); ++y) {
      for (int x = 0; x < shot->width(); ++x) opaque += (shot->PixelAt(x, y) >> 24) == 255;
    }
    EXPECT_GT(opaque, shot->width() * shot->height() / 2) << name;
  }
}

}  // namespace
}  // namespace quillo::ui
