// The HTML window base over the fake window system (no browser): the common page methods, the
// border resize, the keys, maximising, fades, the outline and the remembered geometry.
#include "web/CXHTMLDialog.h"

#include <gtest/gtest.h>

#include "FakeWindowSystem.h"
#include "platform/loop/MainLoop.h"
#include "store/DocumentStore.h"
#include "support/TempFolder.h"

namespace quillo::web {
namespace {

using testing::FakePresenter;
using window::ResizeEdge;

class RecordingPresenter : public FakePresenter {
 public:
  using FakePresenter::FakePresenter;
  void BeginMoveDragAtPointer() override { ++pointer_moves; }
  void BeginResizeDragAtPointer(ResizeEdge edge) override { resizes.push_back(edge); }
  void SetShape(const std::vector<gfx::Rect>& rects) override { shape = rects; }
  void SetOpacity(std::uint8_t value) override { opacities.push_back(value); }
  void Iconify() override { ++iconified; }
  void SetMinimumTrackSize(gfx::Size size) override { minimum = size; }

  int pointer_moves = 0;
  int iconified = 0;
  std::vector<ResizeEdge> resizes;
  std::vector<gfx::Rect> shape;
  std::vector<std::uint8_t> opacities;
  gfx::Size minimum;
};

class RecordingWindowSystem : public testing::FakeWindowSystem {
 public:
  std::unique_ptr<window::WindowPresenter> CreateWindow(window::WindowEvents& events,
                                                        const window::WindowOptions& o) override {
    auto p = std::make_unique<RecordingPresenter>(events, o);
    presenter = p.get();
    last = p.get();
    return p;
  }
  RecordingPresenter* presenter = nullptr;
};

// A derived window with methods of its own and a browser opener that only records.
class TestDialog : public CXHTMLDialog {
 public:
  using CXHTMLDialog::CXHTMLDialog;
  std::vector<std::string> opened;

 protected:
  BridgeValue OnExternalMethod(const std::string& method, const std::vector<std::string>& args,
                               bool& handled) override {
    handled = method == "Echo";
    return handled ? BridgeValue::String("echo:" + (args.empty() ? "" : args[0]))
                   : BridgeValue::Void();
  }
  std::vector<std::string> ExternalMethodNames() const override { return {"Echo"}; }
  void OpenExternalUrl(const std::string& url) override { opened.push_back(url); }
};

class CXHTMLDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(store_.Open(false)); }

  std::unique_ptr<TestDialog> Make(CXHTMLDialog::Options options = {}) {
    auto dialog = std::make_unique<TestDialog>(store_, std::move(options));
    EXPECT_TRUE(dialog->Create(kRect, nullptr));
    return dialog;
  }
  BridgeValue Call(CXHTMLDialog& d, const std::string& method, std::vector<std::string> args = {}) {
    return d.OnExternalCall(method, args);
  }
  RecordingPresenter& presenter() { return *windows_.presenter; }

  static constexpr gfx::Rect kRect{100, 80, 500, 380};
  loop::MainLoop loop_;
  RecordingWindowSystem windows_;
  testing::TempFolder folder_;
  store::DocumentStore store_{folder_.path()};
};

TEST_F(CXHTMLDialogTest, ConfigMethodsReadWriteAndCompare) {
  auto d = Make();
  store_.SetConfigText("module.a", "x");
  store_.SetConfigText("module.empty", "");
  EXPECT_EQ(Call(*d, "GetConfig", {"module.a", "dflt"}).text, "x");
  EXPECT_EQ(Call(*d, "GetConfig", {"module.none", "dflt"}).text, "dflt");
  EXPECT_EQ(Call(*d, "GetConfig", {"module.none", "dflt"}).kind, BridgeValue::Kind::kString);
  EXPECT_EQ(Call(*d, "SetConfig", {"module.b", "新"}).kind, BridgeValue::Kind::kVoid);
  EXPECT_EQ(store_.GetConfigText("module.b"), "新");

  const auto check = [&](const std::string& key, const std::string& value) {
    const BridgeValue v = Call(*d, "CheckConfig", {key, value});
    EXPECT_EQ(v.kind, BridgeValue::Kind::kBool);
    return v.flag;
  };
  EXPECT_TRUE(check("module.a", "x"));
  EXPECT_FALSE(check("module.a", "X"));
  EXPECT_FALSE(check("module.none", ""));  // missing, even against an empty value
  EXPECT_TRUE(check("module.empty", ""));
  // Missing arguments read as empty texts rather than failing.
  EXPECT_EQ(Call(*d, "GetConfig", {}).text, "");
}

TEST_F(CXHTMLDialogTest, DerivedMethodsAndUnknownNames) {
  auto d = Make();
  EXPECT_EQ(Call(*d, "Echo", {"hi"}).text, "echo:hi");
  const BridgeValue unknown = Call(*d, "NoSuchMethod", {"x"});
  EXPECT_EQ(unknown.kind, BridgeValue::Kind::kVoid);
  EXPECT_EQ(Call(*d, "WindowEndMove").kind, BridgeValue::Kind::kVoid);
}

TEST_F(CXHTMLDialogTest, OpenUrlOpensOnlyWebAddresses) {
  auto d = Make();
  for (const char* url : {"http://a.example/x", "HTTPS://b.example/", "file:///etc/passwd",
                          "smb://server/share", "javascript:alert(1)", ""}) {
    Call(*d, "OpenUrl", {url});
  }
  EXPECT_EQ(d->opened, (std::vector<std::string>{"http://a.example/x", "HTTPS://b.example/"}));
}

TEST_F(CXHTMLDialogTest, EnableResizeTakesOnlyOne) {
  CXHTMLDialog::Options options;
  options.resizable = false;
  auto d = Make(options);
  const gfx::Point left_edge{2, 150};
  EXPECT_FALSE(d->OnPagePointer(PagePointer::kLeftDown, left_edge));
  for (const char* flag : {"0", "", "true", "01", " 1"}) {
    Call(*d, "EnableResize", {flag});
    EXPECT_FALSE(d->resizable()) << flag;
  }
  Call(*d, "EnableResize", {"1"});
  EXPECT_TRUE(d->resizable());
  EXPECT_TRUE(d->OnPagePointer(PagePointer::kMove, left_edge));
  EXPECT_TRUE(presenter().resizes.empty());  // a move only shows the cursor
  EXPECT_TRUE(d->OnPagePointer(PagePointer::kLeftDown, left_edge));
  EXPECT_FALSE(d->OnPagePointer(PagePointer::kLeftDown, {200, 150}));  // the page's own
  EXPECT_TRUE(d->OnPagePointer(PagePointer::kLeftDown, {399, 299}));
  EXPECT_EQ(presenter().resizes,
            (std::vector<ResizeEdge>{ResizeEdge::kLeft, ResizeEdge::kBottomRight}));
  Call(*d, "EnableResize", {"0"});
  EXPECT_FALSE(d->OnPagePointer(PagePointer::kLeftDown, left_edge));
}

TEST_F(CXHTMLDialogTest, MaximiseFillsTheWorkAreaAndStopsMovesAndResizes) {
  auto d = Make();
  Call(*d, "WindowStartMove");
  EXPECT_EQ(presenter().pointer_moves, 1);

  Call(*d, "WindowMax");
  EXPECT_TRUE(d->maximized());
  loop_.PumpPending();
  EXPECT_EQ(d->WindowRect(), windows_.WorkArea());
  Call(*d, "WindowStartMove");
  EXPECT_EQ(presenter().pointer_moves, 1);  // nothing while maximised
  EXPECT_FALSE(d->OnPagePointer(PagePointer::kLeftDown, {2, 150}));
  // The outline follows the new size.
  EXPECT_EQ(presenter().shape, d->corner_profile().Bands({1280, 1000}));

  Call(*d, "WindowMax");  // again: the size to go back to stays the first one
  loop_.PumpPending();
  Call(*d, "WindowRestore");
  EXPECT_FALSE(d->maximized());
  loop_.PumpPending();
  EXPECT_EQ(d->WindowRect(), kRect);
  Call(*d, "WindowStartMove");
  EXPECT_EQ(presenter().pointer_moves, 2);

  Call(*d, "WindowMin");
  loop_.PumpPending();
  EXPECT_EQ(presenter().iconified, 1);
}

TEST_F(CXHTMLDialogTest, KeysAreKeptFromThePageAndEscapeClosesOnlyWhenAsked) {
  auto d = Make();
  EXPECT_TRUE(d->OnPageKey(0xffc2, false));  // F5
  EXPECT_TRUE(d->OnPageKey(0xffe3, false));  // Ctrl
  EXPECT_FALSE(d->OnPageKey('v', true));     // Ctrl+V still pastes in the page
  EXPECT_TRUE(d->OnPageKey(0xff1b, false));  // Escape: swallowed
  loop_.PumpPending();
  EXPECT_TRUE(d->IsCreated());

  CXHTMLDialog::Options options;
  options.escape_closes = true;
  auto closing = Make(options);
  EXPECT_TRUE(closing->OnPageKey(0xff1b, false));
  loop_.PumpPending();
  EXPECT_FALSE(closing->IsCreated());
}

TEST_F(CXHTMLDialogTest, WindowCloseSavesTheGeometryAndCreateRestoresIt) {
  CXHTMLDialog::Options options;
  options.geometry_name = "htmltest";
  options.min_track_width = 300;
  options.min_track_height = 200;
  auto d = Make(options);
  EXPECT_EQ(presenter().minimum, (gfx::Size{300, 200}));
  d->SetWindowRect(gfx::Rect::FromXYWH(30, 40, 320, 240));
  Call(*d, "WindowClose");
  EXPECT_TRUE(d->IsCreated());  // posted
  loop_.PumpPending();
  EXPECT_FALSE(d->IsCreated());
  EXPECT_EQ(store_.GetConfigText("window.htmltest.width"), "320");
  EXPECT_EQ(store_.GetConfigText("window.htmltest.height"), "240");
  EXPECT_EQ(store_.GetConfigText("window.htmltest.pos.x"), "30");
  EXPECT_EQ(store_.GetConfigText("window.htmltest.pos.y"), "40");

  auto again = Make(options);
  EXPECT_EQ(again->WindowRect(), gfx::Rect::FromXYWH(30, 40, 320, 240));
  again.reset();

  // Too small, too far and negative: at least the minimum, on the desktop, never negative.
  store_.SetConfigText("window.htmltest.width", "100");
  store_.SetConfigText("window.htmltest.height", "5000");
  store_.SetConfigText("window.htmltest.pos.x", "-50");
  store_.SetConfigText("window.htmltest.pos.y", "700");
  auto clamped = Make(options);
  EXPECT_EQ(clamped->WindowRect(), gfx::Rect::FromXYWH(0, 0, 300, 1000));
}

TEST_F(CXHTMLDialogTest, OutlineFollowsTheProfile) {
  auto d = Make();
  EXPECT_EQ(presenter().shape, CornerProfile::Default().Bands({400, 300}));
  d->SetWindowRect(gfx::Rect::FromXYWH(100, 80, 250, 200));
  EXPECT_EQ(presenter().shape, CornerProfile::Default().Bands({250, 200}));

  CXHTMLDialog::Options square;
  square.corner_count = 0;
  auto r = Make(square);
  EXPECT_TRUE(presenter().shape.empty());
}

TEST_F(CXHTMLDialogTest, APageInsideAFrameMovesTheFrame) {
  ui::LayerWnd frame(0);
  ASSERT_TRUE(frame.Create(gfx::Rect::FromXYWH(50, 60, 577, 538), nullptr));
  RecordingPresenter& frame_window = presenter();
  TestDialog page(store_, CXHTMLDialog::Options{});
  ASSERT_TRUE(page.CreateInside(frame, gfx::Rect::FromXYWH(10, 40, 557, 480)));
  EXPECT_FALSE(page.IsCreated());  // no window of its own
  EXPECT_FALSE(page.Create(kRect, nullptr));
  EXPECT_TRUE(frame_window.shape.empty());  // the frame keeps its own outline

  // The border is the page's own rectangle, in the page's pixels.
  EXPECT_TRUE(page.OnPagePointer(PagePointer::kLeftDown, {554, 240}));
  EXPECT_FALSE(page.OnPagePointer(PagePointer::kLeftDown, {560, 240}));
  page.SetPageRect(gfx::Rect::FromXYWH(10, 40, 600, 480));
  EXPECT_TRUE(page.OnPagePointer(PagePointer::kLeftDown, {598, 240}));
  EXPECT_EQ(frame_window.resizes,
            (std::vector<ResizeEdge>{ResizeEdge::kRight, ResizeEdge::kRight}));

  Call(page, "WindowStartMove");
  EXPECT_EQ(frame_window.pointer_moves, 1);
  Call(page, "WindowMax");
  loop_.PumpPending();
  EXPECT_EQ(frame.WindowRect(), windows_.WorkArea());
  Call(page, "WindowRestore");
  loop_.PumpPending();
  EXPECT_EQ(frame.WindowRect(), gfx::Rect::FromXYWH(50, 60, 577, 538));
  Call(page, "WindowClose");
  loop_.PumpPending();
  EXPECT_FALSE(frame.IsCreated());
  // The frame is gone: the page's window methods have nothing left to act on but themselves.
  Call(page, "WindowStartMove");
  EXPECT_EQ(Call(page, "GetConfig", {"module.none", "d"}).text, "d");
}

TEST_F(CXHTMLDialogTest, FadesEndAtTheirLastValue) {
  auto d = Make();
  d->FadeIn();
  ASSERT_TRUE(loop_.PumpUntil([&] { return !d->fading(); }, std::chrono::seconds(20)));
  auto& seen = presenter().opacities;
  ASSERT_EQ(seen.size(), 101u);  // the start, then 100 steps
  EXPECT_EQ(seen.front(), 0);
  EXPECT_EQ(seen.back(), 255);

  seen.clear();
  d->FadeOut();
  ASSERT_TRUE(loop_.PumpUntil([&] { return !d->fading(); }, std::chrono::seconds(20)));
  ASSERT_EQ(seen.size(), 102u);
  EXPECT_EQ(seen.front(), 255);
  EXPECT_EQ(seen.back(), 0);
}

}  // namespace
}  // namespace quillo::web
