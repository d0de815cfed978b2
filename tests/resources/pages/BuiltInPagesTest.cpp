// The bundle of built-in pages: what the pages link is there, names that leave the bundle are
// refused, and each kind of file is served with its type.
#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <set>
#include <string>

#include "resources/pages/BuiltInPages.h"

namespace quillo::resources {
namespace {

std::string Text(std::string_view name) {
  const auto page = FindBuiltInPage(name);
  return page ? std::string(page->bytes) : std::string();
}

// Relative names a page or style sheet refers to: href/src attributes and CSS url(...).
std::set<std::string> LinkedNames(const std::string& text) {
  std::set<std::string> names;
  const std::regex attribute(R"re((?:href|src)\s*=\s*"([^"]*)")re");
  const std::regex url(R"re(url\(\s*['"]?([^'")]+)['"]?\s*\))re");
  for (const auto* pattern : {&attribute, &url}) {
    for (std::sregex_iterator it(text.begin(), text.end(), *pattern), end; it != end; ++it) {
      const std::string name = (*it)[1];
      if (name.empty() || name[0] == '#' || name.rfind("data:", 0) == 0) continue;
      names.insert(name);
    }
  }
  return names;
}

// Width and height from a PNG's header chunk; {0, 0} when it is not a PNG.
std::pair<std::uint32_t, std::uint32_t> PngSize(std::string_view bytes) {
  if (bytes.size() < 24 || bytes.substr(0, 8) != "\x89PNG\r\n\x1a\n" || bytes.substr(12, 4) != "IHDR") {
    return {0, 0};
  }
  auto word = [&](std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
  };
  return {word(16), word(20)};
}

TEST(BuiltInPagesTest, EveryNameAPageLinksIsInTheBundle) {
  for (const char* page : {"downloaddlg.html", "upload.html", "notification.html"}) {
    const std::string html = Text(page);
    ASSERT_FALSE(html.empty()) << page;
    std::set<std::string> pending = LinkedNames(html);
    std::set<std::string> seen;
    while (!pending.empty()) {
      const std::string name = *pending.begin();
      pending.erase(pending.begin());
      if (!seen.insert(name).second) continue;
      const auto linked = FindBuiltInPage(name);
      ASSERT_TRUE(linked) << page << " links " << name << ", which the bundle lacks";
      if (name.ends_with(".css")) {
        for (const auto& picture : LinkedNames(std::string(linked->bytes))) pending.insert(picture);
      }
      if (name.ends_with(".png")) {
        EXPECT_NE(PngSize(linked->bytes).first, 0u) << name << " is not a PNG";
      }
    }
  }
}

TEST(BuiltInPagesTest, DownloadPageUsesItsScriptsStyleAndPictures) {
  const auto links = LinkedNames(Text("downloaddlg.html"));
  for (const char* name : {"common.js", "downloaddlg.js", "downloaddlg.css"}) {
    EXPECT_TRUE(links.count(name)) << name;
  }
  const auto pictures = LinkedNames(Text("downloaddlg.css"));
  for (const char* name : {"img/window-ctrl.png", "img/wnd-bk.png", "img/wnd-border.png",
                           "img/wnd-vbk.png"}) {
    EXPECT_TRUE(pictures.count(name)) << name;
  }
  EXPECT_TRUE(links.count("img/wnd-icon.png"));
  EXPECT_TRUE(LinkedNames(Text("upload.html")).count("upload.js"));
}

TEST(BuiltInPagesTest, PicturesHaveTheSizesTheStylesCutThemBy) {
  // The window buttons are 26 x 20 cells: three states across, minimise above close.
  EXPECT_EQ(PngSize(Text("img/window-ctrl.png")), std::make_pair(78u, 40u));
  EXPECT_EQ(PngSize(Text("img/wnd-icon.png")), std::make_pair(16u, 16u));
  // The border is sliced 5 pixels in from each side, so it needs more than twice that.
  const auto border = PngSize(Text("img/wnd-border.png"));
  EXPECT_GT(border.first, 10u);
  EXPECT_GT(border.second, 10u);
  EXPECT_EQ(PngSize(Text("img/wnd-vbk.png")).second, 30u);  // the caption's height
}

TEST(BuiltInPagesTest, NamesOutsideTheBundleAreRefused) {
  ASSERT_TRUE(FindBuiltInPage("common.js"));
  ASSERT_TRUE(FindBuiltInPage("img/wnd-bk.png"));
  const std::string_view refused[] = {
      "",
      "../common.js",
      "img/../common.js",
      "..",
      "/common.js",
      "/img/wnd-bk.png",
      "img\\wnd-bk.png",
      std::string_view("common.js\0.png", 14),
      std::string_view("common.js\0", 10),
      "nothing.html",
      "img",
      "img/",
      "COMMON.JS",
      "common.js?x=1",
      "downloaddlg.html#top",
  };
  for (const std::string_view name : refused) {
    EXPECT_FALSE(FindBuiltInPage(name)) << std::string(name);
  }
}

TEST(BuiltInPagesTest, EachKindIsServedWithItsType) {
  const struct {
    const char* name;
    const char* mime;
  } cases[] = {
      {"downloaddlg.html", "text/html; charset=utf-8"},
      {"upload.html", "text/html; charset=utf-8"},
      {"notification.html", "text/html; charset=utf-8"},
      {"common.js", "text/javascript; charset=utf-8"},
      {"upload.js", "text/javascript; charset=utf-8"},
      {"downloaddlg.css", "text/css"},
      {"img/wnd-icon.png", "image/png"},
      {"img/window-ctrl.png", "image/png"},
  };
  for (const auto& c : cases) {
    const auto page = FindBuiltInPage(c.name);
    ASSERT_TRUE(page) << c.name;
    EXPECT_EQ(page->mime_type, c.mime) << c.name;
    EXPECT_FALSE(page->bytes.empty()) << c.name;
  }
  // The same bytes every time: callers keep the views.
  EXPECT_EQ(FindBuiltInPage("common.js")->bytes.data(), FindBuiltInPage("common.js")->bytes.data());
}

// The pages call only what their windows offer: the methods every HTML window has, plus the
// download window's or the upload window's own.
TEST(BuiltInPagesTest, PagesCallOnlyMethodsTheirWindowsOffer) {
  const std::set<std::string> every_window = {"WindowMax", "WindowClose", "WindowMin",
                                              "WindowRestore", "WindowStartMove", "WindowEndMove",
                                              "EnableResize", "OpenUrl", "GetConfig", "SetConfig",
                                              "CheckConfig"};
  auto calls_of = [](const std::string& script) {
    std::set<std::string> methods;
    const std::regex call(R"re((?:quillo\.call|quillo\.hosted)\(\s*'([A-Za-z]+)')re");
    const std::regex direct(R"re(external\.([A-Za-z]+)\s*\()re");
    for (const auto* pattern : {&call, &direct}) {
      for (std::sregex_iterator it(script.begin(), script.end(), *pattern), end; it != end; ++it) {
        methods.insert((*it)[1]);
      }
    }
    return methods;
  };
  const struct {
    const char* page;
    std::set<std::string> own;
  } pages[] = {
      {"downloaddlg.js", {"OnLoad", "Cancel"}},
      {"upload.js", {"OpenMusicFile", "OpenLyricFile", "GetMusicName", "GetArtistName", "UploadMusic",
                     "UploadLyric"}},
      {"notification.html", {}},
      {"common.js", {}},
  };
  for (const auto& page : pages) {
    const auto methods = calls_of(Text(page.page));
    for (const auto& method : methods) {
      EXPECT_TRUE(every_window.count(method) || page.own.count(method))
          << page.page << " calls external." << method;
    }
  }
  EXPECT_TRUE(calls_of(Text("downloaddlg.js")).count("OnLoad"));
  EXPECT_TRUE(calls_of(Text("downloaddlg.js")).count("Cancel"));
}

}  // namespace
}  // namespace quillo::resources
