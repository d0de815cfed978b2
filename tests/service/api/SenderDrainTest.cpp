// The sender's drain: a process that exits after sending waits for its requests, within a bound.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "fakes/FakeTransferClient.h"
#include "platform/loop/MainLoop.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/transfer/SafeDownloader.h"

namespace quillo::service {
namespace {

using quillo::testing::FakeAnswer;
using quillo::testing::FakeAttempt;
using quillo::testing::FakeTransferClient;

TEST(SenderDrainTest, WaitsForEveryRequestAndGivesUpOnAStalledOneAtTheTimeOut) {
  loop::MainLoop loop;
  auto client = std::make_unique<FakeTransferClient>([](const FakeAttempt& attempt, int) {
    FakeAnswer answer;
    answer.body = "ok";
    answer.stall_send = attempt.url.find("stall") != std::string::npos;
    return answer;
  });
  FakeTransferClient* fake = client.get();
  SafeDownloader downloader(loop, std::move(client));
  SafeDownloaderSender sender(downloader);

  sender.Request("http://127.0.0.1:9/a", FormParams{{"musicId[]", "1"}}, nullptr);
  sender.Request("http://127.0.0.1:9/b", std::nullopt, nullptr);
  EXPECT_TRUE(sender.Drain(loop, std::chrono::seconds(10)));
  EXPECT_EQ(sender.pending(), 0u);
  EXPECT_EQ(fake->attempts().size(), 2u);

  sender.Request("http://127.0.0.1:9/stall", std::nullopt, nullptr);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(sender.Drain(loop, std::chrono::milliseconds(200)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(sender.pending(), 1u);
  downloader.Shutdown();
  EXPECT_EQ(sender.pending(), 0u);
}

}  // namespace
}  // namespace quillo::service
