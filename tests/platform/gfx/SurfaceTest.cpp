#include "platform/gfx/Surface.h"

#include <gtest/gtest.h>

namespace quillo::gfx {
namespace {

Surface Filled(int width, int height, std::uint32_t pixel) {
  Surface surface(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) surface.Row(y)[x] = pixel;
  surface.MarkDirty();
  return surface;
}

TEST(SurfaceTest, CopyFromReusesItsPixelsForTheSameSizeAndFollowsAnyOtherSize) {
  Surface copy = Filled(7, 5, 0xFF000000u);
  const std::uint32_t* own_pixels = copy.Row(0);
  Surface source = Filled(7, 5, 0xFF336699u);
  source.Row(4)[6] = 0x80402010u;
  source.MarkDirty();

  copy.CopyFrom(source);
  EXPECT_EQ(copy.Row(0), own_pixels);  // no new image for the same size
  EXPECT_EQ(copy.PixelAt(0, 0), 0xFF336699u);
  EXPECT_EQ(copy.PixelAt(6, 4), 0x80402010u);
  // A copy, not a view: later drawing on the source leaves it alone.
  source.Row(0)[0] = 0u;
  source.MarkDirty();
  EXPECT_EQ(copy.PixelAt(0, 0), 0xFF336699u);

  copy.CopyFrom(copy);
  EXPECT_EQ(copy.PixelAt(6, 4), 0x80402010u);

  const Surface larger = Filled(9, 3, 0xFF112233u);
  copy.CopyFrom(larger);
  EXPECT_EQ(copy.size(), (Size{9, 3}));
  EXPECT_EQ(copy.PixelAt(8, 2), 0xFF112233u);

  Surface empty;
  empty.CopyFrom(larger);
  EXPECT_EQ(empty.PixelAt(8, 2), 0xFF112233u);
  copy.CopyFrom(Surface());
  EXPECT_TRUE(copy.IsNull());
}

}  // namespace
}  // namespace quillo::gfx
