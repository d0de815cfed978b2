// The component download window with its built-in page under X: the page starts the download
// as it loads; a failed download leaves no file and the page's error shown, and the same window
// downloads again when the page asks (its retry), placing the whole file under the target's
// name and closing.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "WebTestHost.h"
#include "platform/fs/FileSystem.h"
#include "platform/http/CurlHttpTransport.h"
#include "service/transfer/SafeDownloader.h"
#include "store/DocumentStore.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempFolder.h"
#include "web/DownloadDlg.h"

namespace quillo::web {
namespace {

TEST(DownloadDlgGuiTest, AFailedDownloadShowsItsErrorAndTheSameWindowRetries) {
  testing::WebTestHost host;
  if (!host.ok()) GTEST_SKIP() << "no display";
  testing::TempFolder folder;
  store::DocumentStore store(folder.path());
  ASSERT_TRUE(store.Open(false));

  const std::string body(300000, 'c');
  std::atomic<bool> available{false};
  std::atomic<int> requests{0};
  testing::ScriptedHttpServer server(
      [&](const testing::ScriptedHttpServer::Request&, testing::ScriptedHttpServer::Exchange& e) {
        ++requests;
        e.Send(available ? testing::ScriptedHttpServer::Answer(200, body)
                         : testing::ScriptedHttpServer::Answer(404, "missing"));
      });
  http::CurlHttpTransport transport("");
  service::SafeDownloader downloader(host.loop(), transport);
  const std::string target = folder.path() + "component.bin";

  DownloadDlg dialog(store, downloader, "组件", server.Url("/component.bin"), target);
  ASSERT_TRUE(dialog.Create(gfx::Rect::FromXYWH(100, 100, DownloadDlg::kWidth, DownloadDlg::kHeight),
                            nullptr));
  // The page called OnLoad as it loaded; the service has no file yet.
  ASSERT_TRUE(host.WaitFor([&] { return requests > 0 && dialog.transfer_id().empty(); }));
  EXPECT_FALSE(dialog.finished());
  EXPECT_FALSE(fs::FileExists(target));
  EXPECT_FALSE(fs::FileExists(target + ".part"));
  EXPECT_TRUE(dialog.IsCreated());

  // The page's retry asks the same window again; now the file is there.
  available = true;
  dialog.OnExternalCall("OnLoad", {});
  ASSERT_TRUE(host.WaitFor([&] { return dialog.finished(); }));
  EXPECT_EQ(fs::ReadWholeFile(target), body);
  EXPECT_FALSE(fs::FileExists(target + ".part"));
  // It closes itself once the file is in.
  EXPECT_TRUE(host.WaitFor([&] { return !dialog.IsCreated(); }));
}

TEST(DownloadDlgGuiTest, CancelStopsTheDownloadAndClosesTheWindow) {
  testing::WebTestHost host;
  if (!host.ok()) GTEST_SKIP() << "no display";
  testing::TempFolder folder;
  store::DocumentStore store(folder.path());
  ASSERT_TRUE(store.Open(false));
  // A service that answers the head and then stalls: the download stays running.
  testing::ScriptedHttpServer server(
      [](const testing::ScriptedHttpServer::Request&, testing::ScriptedHttpServer::Exchange& e) {
        e.Send(testing::ScriptedHttpServer::Head(200, {{"Content-Length", "5000000"}}));
        e.Send(std::string(1000, 'x'));
        e.Stall();
      });
  http::CurlHttpTransport transport("");
  service::SafeDownloader downloader(host.loop(), transport);
  const std::string target = folder.path() + "component.bin";
  DownloadDlg dialog(store, downloader, "", server.Url("/c"), target);
  ASSERT_TRUE(dialog.Create(gfx::Rect::FromXYWH(100, 100, DownloadDlg::kWidth, DownloadDlg::kHeight),
                            nullptr));
  ASSERT_TRUE(host.WaitFor([&] { return !dialog.transfer_id().empty(); }));
  dialog.OnExternalCall("Cancel", {});
  EXPECT_TRUE(dialog.transfer_id().empty());
  EXPECT_TRUE(host.WaitFor([&] { return !dialog.IsCreated(); }));
  EXPECT_FALSE(dialog.finished());
  EXPECT_FALSE(fs::FileExists(target));
  EXPECT_TRUE(host.WaitFor([&] { return !fs::FileExists(target + ".part"); }));
}

}  // namespace
}  // namespace quillo::web
