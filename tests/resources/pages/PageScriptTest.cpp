// The built-in pages' scripts, run in JavaScriptCore against a small stand-in of the DOM and of
// the window's `external`: what the page calls, and what it shows for each page function the
// program calls.
#include <gtest/gtest.h>
#include <jsc/jsc.h>

#include <memory>
#include <regex>
#include <string>

#include "resources/pages/BuiltInPages.h"

namespace quillo::resources {
namespace {

// The elements are those of the page's HTML (defineElements), hidden where the HTML hides them;
// getElementById answers null for any other id, as a browser would. Events are fired by the test
// with fire(); `calls` records every external call as "Name(arg,arg)".
constexpr char kPrelude[] = R"js(
var window = this;
var calls = [];
var elements = {};
var prevented = 0;
function Element(id) {
  this.id = id; this.textContent = ''; this.value = ''; this.className = ''; this.disabled = false;
  this.style = {display: '', width: ''}; this.listeners = {};
}
Element.prototype.addEventListener = function (type, fn) {
  (this.listeners[type] = this.listeners[type] || []).push(fn);
};
Element.prototype.closest = function () { return null; };
function fire(target, type, event) {
  event = event || {};
  if (event.button === undefined) event.button = 0;
  if (!event.target) event.target = target;
  event.preventDefault = function () { ++prevented; };
  var list = (target.listeners || {})[type] || [];
  for (var i = 0; i < list.length; ++i) list[i](event);
}
var document = {
  listeners: {},
  addEventListener: Element.prototype.addEventListener,
  getElementById: function (id) { return elements[id] || null; },
  querySelectorAll: function () {
    return ['music-browse', 'music-upload', 'lyric-browse', 'lyric-upload'].map(function (id) {
      return document.getElementById(id);
    });
  }
};
function defineElements(ids, hidden) {
  ids.forEach(function (id) { elements[id] = new Element(id); });
  hidden.forEach(function (id) { elements[id].style.display = 'none'; });
}
window.listeners = {};
window.addEventListener = Element.prototype.addEventListener;
var location = {hash: ''};
function recorder(name, answer) {
  return function () {
    calls.push(name + '(' + Array.prototype.slice.call(arguments).join(',') + ')');
    return answer;
  };
}
function byId(id) { return document.getElementById(id); }
)js";

struct Unref {
  void operator()(gpointer object) const { g_object_unref(object); }
};

class PageScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context_.reset(jsc_context_new());
    Run(kPrelude);
  }

  // Evaluates the code; its value as text. A thrown exception fails the test.
  std::string Run(const std::string& code) {
    std::unique_ptr<JSCValue, Unref> value(
        jsc_context_evaluate(context_.get(), code.c_str(), static_cast<gssize>(code.size())));
    if (JSCException* exception = jsc_context_get_exception(context_.get())) {
      ADD_FAILURE() << jsc_exception_get_message(exception) << " in: " << code.substr(0, 200);
      jsc_context_clear_exception(context_.get());
      return {};
    }
    char* text = jsc_value_to_string(value.get());
    std::string result = text ? text : "";
    g_free(text);
    return result;
  }

  // Makes the page's elements, then runs its scripts and its load event.
  void Load(const char* page, std::initializer_list<const char*> scripts) {
    const auto html = FindBuiltInPage(page);
    ASSERT_TRUE(html) << page;
    const std::string text(html->bytes);
    const std::regex element(R"re(<[a-z]+ [^>]*?id="([^"]+)"([^>]*)>)re");
    std::string ids, hidden;
    for (std::sregex_iterator it(text.begin(), text.end(), element), end; it != end; ++it) {
      const std::string quoted = "'" + (*it)[1].str() + "',";
      ids += quoted;
      if ((*it)[2].str().find("display: none") != std::string::npos) hidden += quoted;
    }
    Run("defineElements([" + ids + "], [" + hidden + "])");
    for (const char* name : scripts) {
      const auto script = FindBuiltInPage(name);
      ASSERT_TRUE(script) << name;
      Run(std::string(script->bytes));
    }
    Run("fire(window, 'load')");
  }

  std::string Calls() { return Run("calls.join(' ')"); }

  std::unique_ptr<JSCContext, Unref> context_;
};

constexpr char kDownloadWindow[] =
    "var external = {OnLoad: recorder('OnLoad'), Cancel: recorder('Cancel'),"
    " WindowClose: recorder('WindowClose'), WindowMin: recorder('WindowMin'),"
    " WindowStartMove: recorder('WindowStartMove')};";

TEST_F(PageScriptTest, DownloadPageStartsShowsProgressAndRetries) {
  Run(kDownloadWindow);
  Load("downloaddlg.html", {"common.js", "downloaddlg.js"});
  EXPECT_EQ(Calls(), "OnLoad()");
  EXPECT_EQ(Run("byId('status').textContent"), "正在连接服务器……");

  Run("OnStartDownload()");
  EXPECT_EQ(Run("byId('status').textContent"), "正在下载……");
  Run("OnDownloadProgress('1048576', '2097152')");
  EXPECT_EQ(Run("byId('status').textContent"), "已下载 1.00M / 2.00M（50%）");
  EXPECT_EQ(Run("byId('bar-fill').style.width"), "50%");
  // An unknown total shows the count alone, never a percentage.
  Run("OnDownloadProgress('1023', '0')");
  EXPECT_EQ(Run("byId('status').textContent"), "已下载 1023B");
  EXPECT_EQ(Run("byId('bar').className"), "unknown");

  Run("OnDownloadError('连接超时')");
  EXPECT_EQ(Run("byId('error').textContent"), "下载失败：连接超时");
  EXPECT_EQ(Run("byId('error').style.display"), "");
  EXPECT_EQ(Run("byId('retry').style.display"), "");
  // Progress of the failed attempt that arrives late does not hide the error.
  Run("OnDownloadProgress('5', '10')");
  EXPECT_EQ(Run("byId('error').style.display"), "");

  Run("fire(byId('retry'), 'click')");
  EXPECT_EQ(Calls(), "OnLoad() OnLoad()");
  EXPECT_EQ(Run("byId('error').style.display"), "none");
  EXPECT_EQ(Run("byId('retry').style.display"), "none");
  Run("OnDownloadError('')");
  EXPECT_EQ(Run("byId('error').textContent"), "下载失败，请检查网络连接后重试。");

  Run("OnFinishDownload('ok')");
  EXPECT_EQ(Run("byId('bar-fill').style.width"), "100%");
  EXPECT_EQ(Run("byId('cancel').disabled"), "true");
}

TEST_F(PageScriptTest, DownloadPageDrivesItsWindow) {
  Run(kDownloadWindow);
  Load("downloaddlg.html", {"common.js", "downloaddlg.js"});
  Run("calls = []");
  Run("fire(byId('cancel'), 'click')");
  Run("fire(byId('window-min'), 'click')");
  Run("fire(byId('window-close'), 'click')");
  Run("fire(byId('caption'), 'mousedown')");
  // A button inside the caption keeps its click; the right button moves nothing.
  Run("fire(byId('caption'), 'mousedown', {target: {closest: function () { return {}; }}})");
  Run("fire(byId('caption'), 'mousedown', {button: 2})");
  EXPECT_EQ(Calls(), "Cancel() WindowMin() WindowClose() WindowStartMove()");
  Run("fire(document, 'contextmenu')");
  EXPECT_EQ(Run("prevented"), "1");
}

TEST_F(PageScriptTest, DownloadPageInABrowserShowsItsNote) {
  // A browser's own window.external has none of the window's methods.
  Run("var external = {AddSearchProvider: function () {}};");
  Load("downloaddlg.html", {"common.js", "downloaddlg.js"});
  EXPECT_EQ(Calls(), "");
  EXPECT_EQ(Run("byId('note').style.display"), "");
  // Pressing the buttons does not throw.
  Run("fire(byId('cancel'), 'click'); fire(byId('window-close'), 'click')");
  EXPECT_EQ(Calls(), "");
}

TEST_F(PageScriptTest, UploadPageChoosesUploadsAndReports) {
  Run("var external = {GetMusicName: recorder('GetMusicName', '晴天'),"
      " GetArtistName: recorder('GetArtistName', '周一'), OpenMusicFile: recorder('OpenMusicFile'),"
      " OpenLyricFile: recorder('OpenLyricFile'), UploadMusic: recorder('UploadMusic'),"
      " UploadLyric: recorder('UploadLyric'), WindowClose: recorder('WindowClose')};");
  Load("upload.html", {"common.js", "upload.js"});
  EXPECT_EQ(Run("byId('music-name').textContent"), "晴天");
  EXPECT_EQ(Run("byId('artist-name').textContent"), "周一");
  Run("calls = []");

  // Nothing is sent before a file is chosen.
  Run("fire(byId('music-upload'), 'click')");
  EXPECT_EQ(Calls(), "");
  EXPECT_EQ(Run("byId('status').textContent"), "请先选择要上传的歌曲文件。");

  Run("fire(byId('music-browse'), 'click'); fire(byId('lyric-browse'), 'click')");
  EXPECT_EQ(Calls(), "OpenMusicFile() OpenLyricFile()");
  Run("setMusicPath('/home/u/音乐/a b.mp3'); setLyricPath('/home/u/a.lrc'); calls = []");
  EXPECT_EQ(Run("byId('music-path').value"), "/home/u/音乐/a b.mp3");
  Run("fire(byId('music-upload'), 'click')");
  EXPECT_EQ(Calls(), "UploadMusic(/home/u/音乐/a b.mp3)");

  Run("OnUploadProgress('1024000', '2500000')");
  EXPECT_EQ(Run("byId('status').textContent"), "正在上传歌曲：1000.00K / 2.38M（40%）");
  EXPECT_EQ(Run("byId('bar-fill').style.width"), "40%");
  Run("OnUploadFinished('1', '')");
  EXPECT_EQ(Run("byId('status').textContent"), "歌曲上传成功，谢谢您的分享！");
  EXPECT_EQ(Run("byId('status').className"), "done");

  Run("calls = []; fire(byId('lyric-upload'), 'click')");
  EXPECT_EQ(Calls(), "UploadLyric(/home/u/a.lrc)");
  Run("OnUploadFinished('0', '服务器拒绝了文件')");
  EXPECT_EQ(Run("byId('status').textContent"), "歌词上传失败：服务器拒绝了文件");
  EXPECT_EQ(Run("byId('status').className"), "failed");
  Run("OnUploadFinished('true', '')");
  EXPECT_EQ(Run("byId('status').className"), "done");

  Run("calls = []; fire(byId('window-close'), 'click')");
  EXPECT_EQ(Calls(), "WindowClose()");
}

TEST_F(PageScriptTest, UploadPageInABrowserShowsItsNote) {
  Load("upload.html", {"common.js", "upload.js"});
  EXPECT_EQ(Run("byId('note').style.display"), "");
  EXPECT_EQ(Run("byId('music-upload').disabled"), "true");
  EXPECT_EQ(Run("byId('music-name').textContent"), "");
}

TEST_F(PageScriptTest, NotificationPageShowsTheTextOfItsAddress) {
  const auto page = FindBuiltInPage("notification.html");
  ASSERT_TRUE(page);
  const std::string html(page->bytes);
  const std::regex inline_script(R"re(<script>([\s\S]*?)</script>)re");
  std::smatch match;
  ASSERT_TRUE(std::regex_search(html, match, inline_script));
  Load("notification.html", {"common.js"});
  Run("location.hash = '#text=%E6%96%B0%E6%AD%8C%E4%B8%8A%E6%9E%B6'");
  Run(match[1].str());
  Run("fire(window, 'load')");
  EXPECT_EQ(Run("byId('message').textContent"), "新歌上架");
  // A malformed escape leaves the greeting alone.
  Run("byId('message').textContent = 'hello'; location.hash = '#text=%E6%96'; fire(window, 'load')");
  EXPECT_EQ(Run("byId('message').textContent"), "hello");
}

}  // namespace
}  // namespace quillo::resources
