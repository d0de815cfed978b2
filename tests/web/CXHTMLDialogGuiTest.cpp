// An HTML window with its real page under X: the page's synchronous calls reach the store, keys
// the window keeps never reach the page, and a press on the page's border resizes the window.
// Real input goes through the X server (xdotool).
#include <gtest/gtest.h>

#include "WebTestHost.h"
#include "platform/window/GtkWindowPresenter.h"
#include "platform/window/WindowSystem.h"
#include "store/DocumentStore.h"
#include "support/TempFolder.h"
#include "web/CXHTMLDialog.h"

// Xlib last: its macros (Bool, None) would break the headers above.
#include <gdk/gdkx.h>
#include <glib.h>

namespace quillo::web {
namespace {

bool Xdotool(std::vector<std::string> args) {
  std::vector<std::string> command{"timeout", "20", "xdotool"};
  command.insert(command.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& c : command) argv.push_back(c.data());
  argv.push_back(nullptr);
  gint status = 0;
  if (!g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr,
                    nullptr, &status, nullptr)) {
    return false;
  }
  return g_spawn_check_wait_status(status, nullptr);
}

bool PointerGrabbed() {
  GdkDisplay* display = gdk_display_get_default();
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
  return gdk_display_device_is_grabbed(display, pointer);
}

class ServiceDialog : public CXHTMLDialog {
 public:
  ServiceDialog(store::DocumentStore& store, Options options, std::string origin)
      : CXHTMLDialog(store, std::move(options)), origin_(std::move(origin)) {}

 protected:
  std::vector<std::string> TrustedOrigins() const override { return {origin_}; }

 private:
  std::string origin_;
};

class CXHTMLDialogGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!host_.ok()) GTEST_SKIP() << "no display";
    ASSERT_TRUE(store_.Open(false));
    server_.Add("/page.html", R"(<!DOCTYPE html><html><head><meta charset="utf-8"><script>
var keys = [], presses = 0;
document.addEventListener('keydown', function (e) { keys.push(e.key); });
document.addEventListener('mousedown', function () { presses++; });
var seen = [external.GetConfig('module.k', 'none'), external.GetConfig('module.no', 'dflt'),
            external.CheckConfig('module.k', 'stored'), external.CheckConfig('module.no', ''),
            typeof external.Echo].join('|');
external.SetConfig('module.from_page', '页面');
function report() { return seen; }
function pressed() { return keys.join(',') + '/' + presses; }
function width() { return String(window.innerWidth); }
</script></head><body style="margin:0;height:100%">page</body></html>)");
  }

  std::unique_ptr<ServiceDialog> Open(CXHTMLDialog::Options options = {}) {
    auto d = std::make_unique<ServiceDialog>(store_, std::move(options), server_.Origin());
    EXPECT_TRUE(d->Create(kRect, nullptr));
    d->view()->SetListener(&relay_);
    relay_.dialog = d.get();
    d->Navigate(server_.Url("/page.html"));
    EXPECT_TRUE(host_.WaitFor([&] { return relay_.loaded; }));
    return d;
  }

  // Passes the view's reports to the dialog and notes the load.
  struct Relay : WebViewListener {
    CXHTMLDialog* dialog = nullptr;
    bool loaded = false;
    BridgeValue OnExternalCall(const std::string& m, const std::vector<std::string>& a) override {
      return dialog->OnExternalCall(m, a);
    }
    void OnLoadFinished(const std::string&) override { loaded = true; }
    bool OnPagePointer(PagePointer what, gfx::Point p) override {
      return dialog->OnPagePointer(what, p);
    }
    bool OnPageKey(unsigned key, bool control) override { return dialog->OnPageKey(key, control); }
  };

  bool Focus(CXHTMLDialog& d) {
    auto* presenter = dynamic_cast<window::GtkWindowPresenter*>(d.presenter());
    if (!presenter || !host_.WaitFor([&] { return presenter->mapped(); })) return false;
    const auto xid =
        gdk_x11_window_get_xid(gtk_widget_get_window(GTK_WIDGET(presenter->gtk_window())));
    if (!Xdotool({"windowfocus", "--sync", std::to_string(xid)})) return false;
    d.view()->Focus();
    return host_.WaitFor([&] { return d.IsActive(); });
  }

  static constexpr gfx::Rect kRect{500, 100, 900, 400};
  testing::WebTestHost host_;
  testing::PageServer server_;
  testing::TempFolder folder_;
  store::DocumentStore store_{folder_.path()};
  Relay relay_;
};

TEST_F(CXHTMLDialogGuiTest, PageReadsAndWritesTheStoreSynchronously) {
  store_.SetConfigText("module.k", "stored");
  auto d = Open();
  EXPECT_EQ(host_.Ask(*d->view(), "report"), "stored|dflt|true|false|undefined");
  EXPECT_EQ(store_.GetConfigText("module.from_page"), "页面");
}

TEST_F(CXHTMLDialogGuiTest, APageInsideAFrameWorksAndOutlivesItHarmlessly) {
  store_.SetConfigText("module.k", "stored");
  ui::LayerWnd frame(0);
  ASSERT_TRUE(frame.Create(kRect, nullptr));
  ServiceDialog page(store_, CXHTMLDialog::Options{}, server_.Origin());
  ASSERT_TRUE(page.CreateInside(frame, gfx::Rect{10, 30, 390, 290}));
  page.view()->SetListener(&relay_);
  relay_.dialog = &page;
  page.Navigate(server_.Url("/page.html"));
  ASSERT_TRUE(host_.WaitFor([&] { return relay_.loaded; }));
  EXPECT_EQ(host_.Ask(*page.view(), "report"), "stored|dflt|true|false|undefined");
  EXPECT_EQ(host_.Ask(*page.view(), "width"), "380");

  // The frame's window goes first and takes the page's widget with it.
  frame.Destroy();
  EXPECT_FALSE(page.view()->IsVisible());
  EXPECT_EQ(page.view()->Url(), "");
  page.Navigate(server_.Url("/page.html"));
  page.SetPageRect(gfx::Rect{0, 0, 100, 100});
  page.CallPageFunction("report");
  EXPECT_EQ(host_.Ask(*page.view(), "report"), "");
}

TEST_F(CXHTMLDialogGuiTest, KeptKeysNeverReachThePage) {
  auto d = Open();
  ASSERT_TRUE(Focus(*d));
  ASSERT_TRUE(Xdotool({"key", "F5", "Escape", "F1", "a"}));
  ASSERT_TRUE(host_.WaitFor(
      [&] { return host_.Ask(*d->view(), "pressed").find('a') != std::string::npos; }));
  EXPECT_EQ(host_.Ask(*d->view(), "pressed"), "a/0");
  EXPECT_TRUE(d->IsCreated());  // Escape did not close it
}

TEST_F(CXHTMLDialogGuiTest, PressOnTheBorderResizesAndInsideReachesThePage) {
  auto d = Open();
  ASSERT_TRUE(Focus(*d));
  const gfx::Rect before = d->WindowRect();
  // Inside: the page gets the press.
  ASSERT_TRUE(Xdotool({"mousemove", "--sync", std::to_string(before.left + 200),
                       std::to_string(before.top + 150), "click", "1"}));
  ASSERT_TRUE(host_.WaitFor([&] { return host_.Ask(*d->view(), "pressed") == "/1"; }));
  // On the right edge: the window follows the pointer; the page sees nothing.
  const int y = before.top + 150;
  ASSERT_TRUE(Xdotool({"mousemove", "--sync", std::to_string(before.right - 2), std::to_string(y),
                       "mousedown", "1"}));
  // The resize holds the pointer from its start to the release.
  ASSERT_TRUE(host_.WaitFor([] { return PointerGrabbed(); }));
  ASSERT_TRUE(Xdotool({"mousemove", "--sync", std::to_string(before.right + 58), std::to_string(y),
                       "mouseup", "1"}));
  EXPECT_TRUE(host_.WaitFor([&] { return d->WindowRect().width() > before.width() + 40; }))
      << d->WindowRect().width();
  EXPECT_EQ(host_.Ask(*d->view(), "pressed"), "/1");
  // The page follows the window, both ways: it never holds the window at its size.
  const std::string wider = std::to_string(d->WindowRect().width());
  EXPECT_TRUE(host_.WaitFor([&] { return host_.Ask(*d->view(), "width") == wider; }))
      << host_.Ask(*d->view(), "width") << " != " << wider;
  d->SetWindowRect(gfx::Rect::FromXYWH(before.left, before.top, 250, 200));
  EXPECT_TRUE(host_.WaitFor([&] { return d->WindowRect().width() == 250; }))
      << d->WindowRect().width();
  EXPECT_TRUE(host_.WaitFor([&] { return host_.Ask(*d->view(), "width") == "250"; }))
      << host_.Ask(*d->view(), "width");
}

}  // namespace
}  // namespace quillo::web
