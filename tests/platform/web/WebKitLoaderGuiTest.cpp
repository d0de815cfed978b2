// The browser's loader in a program that does not carry the browser and finds no module beside
// it: no view is made (and the run is told why), and the pages' cookie calls still answer, later
// and with nothing, as they promise.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "WebTestHost.h"
#include "platform/web/WebView.h"

namespace quillo::testing {
namespace {

TEST(WebKitLoaderGuiTest, WithoutTheModuleNoViewIsMadeAndCookieCallsStillAnswer) {
  WebTestHost host;
  if (!host.ok()) GTEST_SKIP() << "no display";
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(web::CreateWebView(host.presenter(), gfx::Rect{0, 0, 200, 100}), nullptr);
  EXPECT_EQ(web::CreateWebView(host.presenter(), gfx::Rect{0, 0, 200, 100}), nullptr);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("libquillo-webkit.so"), std::string::npos) << said;
  EXPECT_EQ(said.find("libquillo-webkit.so"), said.rfind("libquillo-webkit.so")) << "said twice";

  bool imported = false;
  std::optional<std::vector<std::string>> exported;
  web::WebCookies::Import({"127.0.0.1\tFALSE\t/\tFALSE\t0\tsid\tabc"}, [&] { imported = true; });
  web::WebCookies::Export("http://127.0.0.1/",
                          [&](std::vector<std::string> lines) { exported = std::move(lines); });
  EXPECT_FALSE(imported) << "answered from inside the call";
  EXPECT_FALSE(exported.has_value()) << "answered from inside the call";
  EXPECT_TRUE(host.WaitFor([&] { return imported && exported.has_value(); }));
  ASSERT_TRUE(exported.has_value());
  EXPECT_TRUE(exported->empty());
}

}  // namespace
}  // namespace quillo::testing
