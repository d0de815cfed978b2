// The WebKitGTK view under X: the page bridge, script dialogs, other origins, page functions,
// failed navigations, built-in pages, local files and cookies.
#include <gtest/gtest.h>

#include <algorithm>

#include "WebTestHost.h"

namespace quillo::testing {
namespace {

using web::BridgeValue;

// Every page below keeps what its script saw in `seen` and hands it out through report().
std::string Page(const std::string& script, const std::string& body = "<body>page</body>") {
  return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><script>\n" + script +
         "\nfunction report() { return String(window.seen); }\n</script></head>" + body + "</html>";
}

// A synchronous request to the bridge made by the page itself, answering its status.
constexpr const char* kForge = R"JS(
function forge(token) {
  try {
    var x = new XMLHttpRequest();
    x.open('POST', 'quillo-bridge://call/', false);
    x.setRequestHeader('Content-Type', 'text/plain');
    x.send(JSON.stringify({token: token, method: 'GetConfig', args: ['k', 'd']}));
    return String(x.status);
  } catch (e) {
    return 'error';
  }
}
)JS";

class WebViewGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!host_.ok()) GTEST_SKIP() << "no display";
    view_ = host_.NewView(listener_);
    ASSERT_NE(view_, nullptr);
    view_->SetExternalMethods({"GetConfig", "SetConfig", "CheckConfig"});
    view_->SetTrustedOrigins({server_.Origin()});
    listener_.answer = [](const RecordingListener::Call& call) {
      if (call.method == "GetConfig") {
        return BridgeValue::String("value of " + call.args.at(0) + "/" + call.args.at(1));
      }
      if (call.method == "CheckConfig") return BridgeValue::Bool(call.args.at(0) == "there");
      return BridgeValue::Void();
    };
  }
  void TearDown() override { view_.reset(); }

  WebTestHost host_;
  PageServer server_;
  RecordingListener listener_;
  std::unique_ptr<web::WebView> view_;
};

TEST_F(WebViewGuiTest, TrustedPageGetsAnswersSynchronously) {
  server_.Add("/bridge.html", Page(R"JS(
var v = external.GetConfig('键', '默认');
var none = external.SetConfig('a', 5);
var yes = external.CheckConfig('there', '');
var no = external.CheckConfig('missing', '');
var threw = false;
try { external.Unknown(); } catch (e) { threw = true; }
window.seen = [typeof v, v, typeof none, typeof yes, yes, no, threw].join('|');
)JS"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/bridge.html")));
  EXPECT_EQ(host_.Ask(*view_, "report"),
            "string|value of 键/默认|undefined|boolean|true|false|true");
  ASSERT_EQ(listener_.calls.size(), 4u);
  EXPECT_EQ(listener_.calls[1].method, "SetConfig");
  EXPECT_EQ(listener_.calls[1].args, (std::vector<std::string>{"a", "5"}));
  EXPECT_EQ(listener_.calls[3].args, (std::vector<std::string>{"missing", ""}));
  EXPECT_TRUE(view_->IsLoaded());
  EXPECT_EQ(view_->Url(), server_.Url("/bridge.html"));
}

TEST_F(WebViewGuiTest, ScriptDialogsShowNothingAndThePageGoesOn) {
  server_.Add("/dialogs.html", Page(R"JS(
var a = alert('hello');
var c = confirm('sure?');
var p = prompt('name?', 'someone');
window.seen = [String(a), String(c), String(p), 'after'].join('|');
)JS"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/dialogs.html")));
  EXPECT_EQ(host_.Ask(*view_, "report"), "undefined|false|null|after");
}

TEST_F(WebViewGuiTest, OtherOriginsAndForgedRequestsNeverReachTheListener) {
  PageServer other;  // another port of the same host: another origin
  const std::string probe = std::string(kForge) + R"JS(
window.seen = [typeof (window.external && window.external.GetConfig), forge(''),
               forge('0123456789abcdef0123456789abcdef')].join('|');
)JS";
  other.Add("/other.html", Page(probe));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, other.Url("/other.html")));
  EXPECT_EQ(host_.Ask(*view_, "report"), "undefined|403|403");
  EXPECT_TRUE(listener_.calls.empty());

  // The trusted page has the bridge, but a request without its token is refused all the same.
  server_.Add("/trusted.html", Page(std::string(kForge) + R"JS(
window.seen = [forge(''), external.GetConfig('k', 'd')].join('|');
)JS"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/trusted.html")));
  EXPECT_EQ(host_.Ask(*view_, "report"), "403|value of k/d");
  ASSERT_EQ(listener_.calls.size(), 1u);
}

TEST_F(WebViewGuiTest, FramesInsideATrustedPageGetNoBridge) {
  server_.Add("/inner.html", Page("window.seen = 'inner';"));
  server_.Add("/outer.html",
              Page("window.seen = 'waiting';",
                   "<body><iframe src=\"/inner.html\" onload=\"window.seen = [typeof "
                   "external.GetConfig, typeof (this.contentWindow.external &&"
                   " this.contentWindow.external.GetConfig)].join('|')\"></iframe></body>"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/outer.html")));
  EXPECT_EQ(host_.Ask(*view_, "report"), "function|undefined");
}

TEST_F(WebViewGuiTest, CallFunctionPassesTextsAndIgnoresWhatIsMissing) {
  // Before any page there is nothing to call; the answer still comes.
  EXPECT_EQ(host_.Ask(*view_, "report"), "");
  server_.Add("/functions.html", Page(R"JS(
window.seen = 'none';
function show(a, b) { window.seen = [a, b, typeof a, arguments.length].join('|'); return 'ret'; }
function fails() { throw new Error('inside'); }
function number() { return 5; }
)JS"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/functions.html")));
  EXPECT_EQ(host_.Ask(*view_, "missing", {"x"}), "");
  EXPECT_EQ(host_.Ask(*view_, "report"), "none");
  EXPECT_EQ(host_.Ask(*view_, "show", {"1", "二 \"quoted\" </script>"}), "ret");
  EXPECT_EQ(host_.Ask(*view_, "report"), "1|二 \"quoted\" </script>|string|2");
  EXPECT_EQ(host_.Ask(*view_, "fails"), "");
  EXPECT_EQ(host_.Ask(*view_, "number"), "");
  EXPECT_EQ(host_.Ask(*view_, "report"), "1|二 \"quoted\" </script>|string|2");
}

TEST_F(WebViewGuiTest, NoAnswerArrivesAfterTheViewIsGone) {
  server_.Add("/slow.html", Page(R"JS(
function slow() { var end = Date.now() + 300; while (Date.now() < end) {} return 'late'; }
)JS"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/slow.html")));
  bool answered = false;
  view_->CallFunction("slow", {}, [&](const std::string&) { answered = true; });
  view_.reset();
  // A whole page load in another view runs the loop well past the page's answer.
  RecordingListener other;
  auto second = host_.NewView(other);
  ASSERT_TRUE(host_.LoadAndWait(*second, other, server_.Url("/slow.html")));
  EXPECT_EQ(host_.Ask(*second, "slow"), "late");
  EXPECT_FALSE(answered);
}

TEST_F(WebViewGuiTest, FailedNavigationIsReportedWithoutAnErrorPage) {
  std::string closed;
  {
    PageServer gone;
    closed = gone.Url("/nothing.html");
  }
  server_.Add("/first.html", Page("window.seen = 'first';"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/first.html")));
  const std::size_t finished = listener_.finished.size();
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, closed));
  ASSERT_EQ(listener_.failed.size(), 1u);
  EXPECT_EQ(listener_.failed[0], closed);
  EXPECT_EQ(listener_.finished.size(), finished);
  EXPECT_FALSE(view_->IsLoaded());

  // A built-in page that does not exist fails the same way.
  view_->LoadBuiltIn("no-such-page.html");
  EXPECT_TRUE(host_.WaitFor([&] { return listener_.failed.size() == 2; }));
}

TEST_F(WebViewGuiTest, BuiltInPageLoadsItsStyleAndScriptAndHasTheBridge) {
  view_->LoadBuiltIn("start.html");
  ASSERT_TRUE(host_.WaitFor([&] { return !listener_.finished.empty(); }));
  EXPECT_EQ(listener_.finished[0], "quillo-page:///start.html");
  EXPECT_EQ(host_.Ask(*view_, "report"), "yes|rgb(1, 2, 3)|内置页面|function|value of k/d");
}

TEST_F(WebViewGuiTest, HistoryGoesBackAndForwardAndReloads) {
  server_.Add("/one.html", Page("window.seen = 'one';"));
  server_.Add("/two.html", Page("window.seen = 'two';"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/one.html")));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/two.html")));
  const auto step = [&](auto move) {
    const std::size_t finished = listener_.finished.size();
    move();
    return host_.WaitFor([&] { return listener_.finished.size() > finished; });
  };
  ASSERT_TRUE(step([&] { view_->GoBack(); }));
  EXPECT_EQ(view_->Url(), server_.Url("/one.html"));
  EXPECT_EQ(host_.Ask(*view_, "report"), "one");
  ASSERT_TRUE(step([&] { view_->GoForward(); }));
  EXPECT_EQ(host_.Ask(*view_, "report"), "two");
  const auto asked = [&] {
    const auto requests = server_.requests();
    return std::count_if(requests.begin(), requests.end(),
                         [](const auto& r) { return r.target == "/two.html"; });
  };
  const auto before = asked();
  ASSERT_TRUE(step([&] { view_->Reload(); }));
  EXPECT_EQ(asked(), before + 1);
  EXPECT_EQ(view_->Url(), server_.Url("/two.html"));
}

TEST_F(WebViewGuiTest, LargerPagesShowNoScrollBars) {
  // The host runs with classic scroll bars, which would take 21 pixels of each side here.
  server_.Add(
      "/big.html",
      Page(R"JS(
function measure() {
  var root = document.documentElement;
  return [window.innerWidth - root.clientWidth, window.innerHeight - root.clientHeight,
          root.scrollWidth > window.innerWidth].join('|');
}
)JS",
           "<body style='margin:0'><div style='width:3000px;height:3000px'>big</div></body>"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/big.html")));
  EXPECT_EQ(host_.Ask(*view_, "measure"), "0|0|true");
}

TEST_F(WebViewGuiTest, LocalFilesAreNeverOpened) {
  view_->Load("file:///etc/hostname");
  server_.Add("/after.html", Page(R"JS(
window.seen = 'after';
function tryFile() { location.href = 'file:///etc/hostname'; return 'asked'; }
)JS"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/after.html")));
  EXPECT_EQ(host_.Ask(*view_, "tryFile"), "asked");
  // A page load that comes after the refused one shows the refusal has been decided.
  server_.Add("/last.html", Page("window.seen = 'last';"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/last.html")));
  for (const std::string& url : listener_.started)
    EXPECT_EQ(url.rfind("file:", 0), std::string::npos) << url;
  EXPECT_TRUE(listener_.failed.empty());
}

TEST_F(WebViewGuiTest, CookiesGoBothWaysBetweenProgramAndPages) {
  const std::string host = "127.0.0.1";
  bool imported = false;
  web::WebCookies::Import(
      {host + "\tFALSE\t/\tFALSE\t0\tsid\tfrom-program",
       "#HttpOnly_" + host + "\tFALSE\t/\tFALSE\t0\thidden\tsecret", "not a cookie line"},
      [&] { imported = true; });
  EXPECT_FALSE(imported);  // never from inside the call
  ASSERT_TRUE(host_.WaitFor([&] { return imported; }));

  server_.Add("/cookies.html", Page(R"JS(
document.cookie = 'fromPage=set-by-page; path=/';
window.seen = document.cookie;
)JS"));
  ASSERT_TRUE(host_.LoadAndWait(*view_, listener_, server_.Url("/cookies.html")));
  const std::string seen = host_.Ask(*view_, "report");
  EXPECT_NE(seen.find("sid=from-program"), std::string::npos) << seen;
  EXPECT_NE(seen.find("fromPage=set-by-page"), std::string::npos) << seen;
  EXPECT_EQ(seen.find("hidden"), std::string::npos) << seen;  // HttpOnly stays out of scripts
  const auto requests = server_.requests();
  ASSERT_FALSE(requests.empty());
  const std::string sent = requests.back().Header("Cookie");
  EXPECT_NE(sent.find("sid=from-program"), std::string::npos) << sent;
  EXPECT_NE(sent.find("hidden=secret"), std::string::npos) << sent;

  bool exported = false;
  std::vector<std::string> lines;
  web::WebCookies::Export(server_.Url("/"), [&](std::vector<std::string> got) {
    lines = std::move(got);
    exported = true;
  });
  ASSERT_TRUE(host_.WaitFor([&] { return exported; }));
  auto has = [&](const std::string& piece) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(piece) != std::string::npos; });
  };
  EXPECT_TRUE(has("\tfromPage\tset-by-page")) << ::testing::PrintToString(lines);
  EXPECT_TRUE(has("#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\t0\thidden\tsecret"))
      << ::testing::PrintToString(lines);
}

}  // namespace
}  // namespace quillo::testing
