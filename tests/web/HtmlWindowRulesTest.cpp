// The rules every HTML window shares, without a display: the border hit test, the cut-corner
// outline, the keys kept from the page and the fade steps.
#include <gtest/gtest.h>

#include "web/BorderHitTest.h"
#include "web/CornerProfile.h"
#include "web/OpacityFade.h"
#include "web/PageKeyFilter.h"

namespace quillo::web {
namespace {

using window::ResizeEdge;

TEST(BorderHitTestTest, EachZoneEndsExactlyAtItsInequality) {
  const gfx::Rect client{0, 0, 400, 300};
  struct Case {
    gfx::Point p;
    std::optional<ResizeEdge> edge;
  };
  // clang-format off
  const Case cases[] = {
      {{10, 10}, ResizeEdge::kTopLeft},     {{11, 10}, std::nullopt},  // x + y ≤ 20
      {{0, 20}, ResizeEdge::kTopLeft},      {{0, 21}, ResizeEdge::kLeft},
      {{390, 10}, ResizeEdge::kTopRight},   {{389, 10}, std::nullopt},  // right − x + y ≤ 20
      {{400, 20}, ResizeEdge::kTopRight},   {{400, 21}, ResizeEdge::kRight},
      {{10, 290}, ResizeEdge::kBottomLeft}, {{10, 289}, std::nullopt},  // bottom − y + x ≤ 20
      {{390, 290}, ResizeEdge::kBottomRight}, {{389, 290}, std::nullopt},
      {{5, 150}, ResizeEdge::kLeft},        {{6, 150}, std::nullopt},
      {{395, 150}, ResizeEdge::kRight},     {{394, 150}, std::nullopt},
      {{200, 5}, ResizeEdge::kTop},         {{200, 6}, std::nullopt},
      {{200, 295}, ResizeEdge::kBottom},    {{200, 294}, std::nullopt},
      {{200, 150}, std::nullopt},
      // Corners win over edges: the tests run in order.
      {{2, 2}, ResizeEdge::kTopLeft},       {{398, 298}, ResizeEdge::kBottomRight},
      // Outside the client rectangle the edges do not reach.
      {{-1, 150}, std::nullopt},            {{200, 301}, std::nullopt},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(BorderHitTest::At(c.p, client), c.edge) << c.p.x << "," << c.p.y;
  }
}

TEST(BorderHitTestTest, TopLeftMeasuresFromTheRectanglesCorner) {
  const gfx::Rect client{100, 50, 500, 350};
  EXPECT_EQ(BorderHitTest::At({110, 60}, client), ResizeEdge::kTopLeft);
  EXPECT_EQ(BorderHitTest::At({105, 200}, client), ResizeEdge::kLeft);
  EXPECT_EQ(BorderHitTest::At({300, 53}, client), ResizeEdge::kTop);
  EXPECT_EQ(BorderHitTest::At({300, 200}, client), std::nullopt);
}

// Even-odd rule at the pixel's centre.
bool InsidePolygon(const std::vector<gfx::Point>& poly, double x, double y) {
  bool inside = false;
  for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const double xi = poly[i].x, yi = poly[i].y, xj = poly[j].x, yj = poly[j].y;
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

bool InsideBands(const std::vector<gfx::Rect>& bands, int x, int y) {
  for (const gfx::Rect& r : bands) {
    if (r.Contains({x, y})) return true;
  }
  return false;
}

TEST(CornerProfileTest, DefaultProfileCutsFourTwoOne) {
  const auto bands = CornerProfile::Default().Bands({20, 12});
  // Row 0 starts 4 in, row 1 two, row 2 one, row 3 not at all; the same at every corner.
  // clang-format off
  for (auto [x, y, in] : std::vector<std::tuple<int, int, bool>>{
           {3, 0, false}, {4, 0, true}, {15, 0, true}, {16, 0, false}, {1, 1, false},
           {2, 1, true},  {0, 2, false}, {1, 2, true}, {0, 3, true},   {19, 3, true},
           {3, 11, false}, {4, 11, true}, {17, 10, true}, {18, 10, false}, {19, 8, true}}) {
    // clang-format on
    EXPECT_EQ(InsideBands(bands, x, y), in) << x << "," << y;
  }
}

TEST(CornerProfileTest, PolygonAndBandsCoverTheSamePixels) {
  for (const auto& profile :
       {CornerProfile::Default(), CornerProfile({6, 3, 3, 1}), CornerProfile({2})}) {
    for (gfx::Size size : {gfx::Size{20, 12}, gfx::Size{577, 538}, gfx::Size{13, 8}}) {
      const auto poly = profile.Polygon(size);
      const auto bands = profile.Bands(size);
      ASSERT_FALSE(poly.empty());
      for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
          ASSERT_EQ(InsidePolygon(poly, x + 0.5, y + 0.5), InsideBands(bands, x, y))
              << x << "," << y << " of " << size.width << "x" << size.height;
        }
      }
    }
  }
}

TEST(CornerProfileTest, OptionsChooseTheProfile) {
  EXPECT_EQ(CornerProfile::FromOptions(-1, {}).insets(), (std::vector<int>{4, 2, 1, 0}));
  EXPECT_TRUE(CornerProfile::FromOptions(0, {5, 3}).IsRectangular());
  EXPECT_EQ(CornerProfile::FromOptions(-1, {5, 3}).insets(), (std::vector<int>{5, 3}));
  EXPECT_EQ(CornerProfile::FromOptions(3, {5, 3, 2, 1}).insets(), (std::vector<int>{5, 3, 2}));
  EXPECT_EQ(CornerProfile::FromOptions(3, {5}).insets(), (std::vector<int>{5, 0, 0}));
  EXPECT_EQ(CornerProfile({-2, 1}).insets(), (std::vector<int>{0, 1}));
  // A rectangle, or a window too small for the profile, keeps its whole rectangle.
  EXPECT_TRUE(CornerProfile::Rectangular().Bands({100, 100}).empty());
  EXPECT_TRUE(CornerProfile::Default().Bands({100, 7}).empty());
  EXPECT_TRUE(CornerProfile::Default().Polygon({8, 100}).empty());
  EXPECT_FALSE(CornerProfile::Default().Bands({9, 8}).empty());
}

TEST(PageKeyFilterTest, FunctionKeysControlAndEscapeStayAway) {
  using V = PageKeyFilter::Verdict;
  for (unsigned key = PageKeyFilter::kF1; key <= PageKeyFilter::kF12; ++key) {
    EXPECT_EQ(PageKeyFilter::Judge(key, false), V::kKeep) << key;
  }
  EXPECT_EQ(PageKeyFilter::Judge(0xffca, false), V::kToPage);  // F13
  EXPECT_EQ(PageKeyFilter::Judge(PageKeyFilter::kControlLeft, false), V::kKeep);
  EXPECT_EQ(PageKeyFilter::Judge(PageKeyFilter::kControlRight, true), V::kKeep);
  EXPECT_EQ(PageKeyFilter::Judge(PageKeyFilter::kEscape, false), V::kKeep);
  EXPECT_EQ(PageKeyFilter::Judge(PageKeyFilter::kEscape, true), V::kClose);
  EXPECT_EQ(PageKeyFilter::Judge('c', false), V::kToPage);
  EXPECT_EQ(PageKeyFilter::Judge(0xff0d, false), V::kToPage);  // Return
}

TEST(OpacityFadeTest, FadeInTakesHundredStepsAndFadeOutHundredAndOne) {
  OpacityFade fade;
  EXPECT_FALSE(fade.Step());  // nothing started
  EXPECT_EQ(fade.Start(OpacityFade::Direction::kIn), 0);
  int steps = 0, last = 0;
  while (auto v = fade.Step()) {
    EXPECT_GE(*v, last);
    last = *v;
    ++steps;
  }
  EXPECT_EQ(steps, 100);
  EXPECT_EQ(last, 255);
  EXPECT_FALSE(fade.running());

  EXPECT_EQ(fade.Start(OpacityFade::Direction::kOut), 255);
  steps = 0;
  last = 255;
  while (auto v = fade.Step()) {
    EXPECT_LE(*v, last);
    last = *v;
    ++steps;
  }
  EXPECT_EQ(steps, 101);
  EXPECT_EQ(last, 0);

  // A new fade replaces one halfway.
  fade.Start(OpacityFade::Direction::kIn);
  for (int i = 0; i < 50; ++i) fade.Step();
  EXPECT_EQ(fade.Start(OpacityFade::Direction::kOut), 255);
  EXPECT_EQ(fade.Step(), std::uint8_t(255 - 255 / 101));
}

}  // namespace
}  // namespace quillo::web
