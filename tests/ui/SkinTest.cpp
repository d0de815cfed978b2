// Skin pixel colours, the colour shift and the skin cache.
#include <gtest/gtest.h>

#include <set>

#include "platform/gfx/Painter.h"
#include "resources/skins/SkinLayout.h"
#include "support/TempFolder.h"
#include "platform/fs/FileSystem.h"
#include "ui/toolkit/SkinManager.h"
#include "ui/toolkit/ThemeStyle.h"

namespace quillo::ui {
namespace {

TEST(SkinPixelTest, StraightColourWithAlpha255Becoming254) {
  struct Case {
    gfx::Color painted;
    gfx::Color expected;
  } cases[] = {
      {{255, 255, 255, 255}, {255, 255, 255, 254}},
      {{10, 20, 30, 255}, {10, 20, 30, 254}},
      {{200, 100, 0, 128}, {199, 99, 0, 128}},  // premultiplied 100,50,0 → ×255/128, truncated
      {{0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    gfx::Surface s(1, 1);
    {
      gfx::Painter p(s);
      p.FillRectSource(gfx::Rect{0, 0, 1, 1}, c.painted);
    }
    EXPECT_EQ(SkinManager::PixelColor(s, 0, 0), c.expected) << int(c.painted.a);
  }
}

TEST(ColorShiftTest, OutOfRangeValuesCountAsZero) {
  EXPECT_EQ(ColorShift::Clamped(360, 101, -101), ColorShift{});
  EXPECT_EQ(ColorShift::Clamped(-1, 50, -50), (ColorShift{0, 50, -50}));
  EXPECT_EQ(ColorShift::Clamped(359, -100, 100), (ColorShift{359, -100, 100}));
}

TEST(ColorShiftTest, RecoloursWholeImagesKeepingAlpha) {
  struct Case {
    ColorShift shift;
    gfx::Color in, out;
  } cases[] = {
      {{120, 0, 0}, {255, 0, 0, 255}, {0, 255, 0, 255}},
      {{240, 0, 0}, {255, 0, 0, 255}, {0, 0, 255, 255}},
      {{0, -100, 0}, {255, 0, 0, 255}, {128, 128, 128, 255}},
      {{0, 0, 100}, {255, 0, 0, 255}, {255, 255, 255, 255}},
      {{0, 0, -100}, {255, 0, 0, 255}, {0, 0, 0, 255}},
      {{120, 0, 0}, {255, 255, 255, 255}, {255, 255, 255, 255}},  // grey has no hue
  };
  for (const Case& c : cases) EXPECT_EQ(c.shift.Apply(c.in), c.out);

  gfx::Surface image(2, 1);
  {
    gfx::Painter p(image);
    p.FillRectSource(gfx::Rect{0, 0, 1, 1}, gfx::Color{255, 0, 0, 102});
  }
  ColorShift{120, 0, 0}.ApplyTo(image);
  gfx::Color shifted = image.ColorAt(0, 0);
  EXPECT_EQ(shifted.a, 102);
  EXPECT_LE(shifted.r, 3);
  EXPECT_GE(shifted.g, 250);
  EXPECT_EQ(image.PixelAt(1, 0), 0u);  // transparent stays transparent
}

class OneImageSource : public SkinSource {
 public:
  explicit OneImageSource(std::string png) : png_(std::move(png)) {}
  std::optional<std::string> PngBytes(int id) override {
    ++loads;
    if (id != 1) return std::nullopt;
    return png_;
  }
  int loads = 0;

 private:
  std::string png_;
};

std::string RedPng() {
  testing::TempFolder folder;
  gfx::Surface s(4, 4);
  {
    gfx::Painter p(s);
    p.FillRectSource(gfx::Rect{0, 0, 4, 4}, gfx::Color{255, 0, 0, 255});
  }
  EXPECT_TRUE(s.WritePng(folder / "red.png"));
  return fs::ReadWholeFile(folder / "red.png").value_or("");
}

TEST(SkinManagerTest, CachesByIdAndFlagAndRecoloursInPlace) {
  auto source = std::make_unique<OneImageSource>(RedPng());
  OneImageSource* raw = source.get();
  SkinManager skins(std::move(source));
  const gfx::Surface* plain = skins.Image(1, false);
  const gfx::Surface* tinted = skins.Image(1, true);
  EXPECT_EQ(skins.Image(1, true), tinted);
  EXPECT_NE(plain, tinted);
  EXPECT_EQ(raw->loads, 2);
  skins.SetShift(ColorShift{120, 0, 0});
  EXPECT_EQ(skins.Image(1, true), tinted);  // the same object, redrawn
  EXPECT_EQ(tinted->ColorAt(0, 0), (gfx::Color{0, 255, 0, 255}));
  EXPECT_EQ(plain->ColorAt(0, 0), (gfx::Color{255, 0, 0, 255}));
  EXPECT_TRUE(skins.Image(99, true)->IsNull());  // a missing resource is a null image
  // A new recolourable image loaded after the shift gets it too.
  SkinManager other(std::make_unique<OneImageSource>(RedPng()));
  other.SetShift(ColorShift{240, 0, 0});
  EXPECT_EQ(other.Image(1, true)->ColorAt(1, 1), (gfx::Color{0, 0, 255, 255}));
}

TEST(SkinBundleTest, EveryNamedSkinIsInTheBundleAtItsSize) {
  struct Case {
    int id, width, height;
  } cases[] = {
      {173, skin::frame::kWidth, skin::frame::kHeight},   {178, skin::volume::kWidth, skin::volume::kHeight},
      {180, skin::picker::kWidth, skin::picker::kHeight}, {182, skin::kit::kWidth, skin::kit::kHeight},
      {183, 213, 47}, {184, skin::message::kWidth, skin::message::kHeight},
      {185, skin::settings::kWidth, skin::settings::kHeight},
      {186, skin::palette::kWidth, skin::palette::kImageHeight},
      {187, skin::equalizer::kWidth, skin::equalizer::kHeight}, {193, 380, 100}, {212, 213, 47},
  };
  SkinManager& skins = SkinManager::Instance();
  for (const Case& c : cases) {
    const gfx::Surface* image = skins.Image(c.id, false);
    ASSERT_FALSE(image->IsNull()) << c.id;
    EXPECT_EQ(image->size(), (gfx::Size{c.width, c.height})) << c.id;
  }
  for (int style = 0; style < skin::kStyleCount; ++style) {
    EXPECT_EQ(skins.Image(ThemeStyle::SkinForStyle(style), false)->width(), skin::main::kWidth);
  }
  // The colour samples the windows read are opaque pixels of the right skins.
  const gfx::Surface& message = *skins.Image(184, false);
  EXPECT_EQ(SkinManager::PixelColor(message, 325, 15).a, 254);
  EXPECT_EQ(SkinManager::PixelColor(message, 325, 50).a, 254);
  const gfx::Surface& frame = *skins.Image(173, false);
  EXPECT_EQ(SkinManager::PixelColor(frame, 14, 509).a, 254);
  EXPECT_EQ(SkinManager::PixelColor(frame, 172, 328).a, 254);
  // Nine distinct accent colours.
  std::set<std::uint32_t> accents;
  for (int style = 0; style < skin::kStyleCount; ++style) {
    accents.insert(skins.Image(194 + style, false)->PixelAt(skin::main::kAccentPixel.x,
                                                            skin::main::kAccentPixel.y));
  }
  EXPECT_EQ(accents.size(), 9u);
}

TEST(ThemeStyleTest, StyleNumbersMapToSkins) {
  struct Case {
    int style, skin;
  } cases[] = {{0, 194}, {8, 202}, {9, 194}, {-1, 194}, {4, 198}};
  for (const Case& c : cases) EXPECT_EQ(ThemeStyle::SkinForStyle(c.style), c.skin);
}

}  // namespace
}  // namespace quillo::ui
