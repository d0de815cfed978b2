// The picture dragged songs carry under the pointer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/lists/SongDragCursor.h"

namespace quillo::ui::lists {
namespace {

TEST(SongDragCursorTest, TwentyFiveSongsDrawTenLinesUnderATitleCountingAll) {
  std::vector<std::string> names;
  for (int i = 0; i < 25; ++i) names.push_back("歌曲" + std::to_string(i));
  EXPECT_EQ(SongDragCursor::Title(25), "共有25首歌曲");
  const gfx::Surface picture = SongDragCursor::Draw(names, false);
  EXPECT_EQ(picture.width(), 208);
  EXPECT_EQ(picture.height(), 28 + 18 * 10);
  EXPECT_EQ(SongDragCursor::Draw({"一首"}, false).height(), 28 + 18);
}

TEST(SongDragCursorTest, TheAddBadgeShowsOnlyOverAPlaceThatTakesTheSongs) {
  const gfx::Surface plain = SongDragCursor::Draw({"歌曲"}, false);
  const gfx::Surface badge = SongDragCursor::Draw({"歌曲"}, true);
  // The badge's centre: green over the title band's blue.
  const gfx::Color with = badge.ColorAt(2 + 9, 5 + 3);
  const gfx::Color without = plain.ColorAt(2 + 9, 5 + 3);
  EXPECT_GT(with.g, with.b);
  EXPECT_LT(without.g, without.b);
}

}  // namespace
}  // namespace quillo::ui::lists
