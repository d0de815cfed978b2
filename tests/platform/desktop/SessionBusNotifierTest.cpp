// The notifier against a private session bus (the test runs under dbus-run-session with a bus
// that activates nothing) and with no bus at all.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "FakeNotificationService.h"
#include "platform/desktop/SessionBusNotifier.h"

namespace quillo::desktop {
namespace {
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr char kTitle[] = "Zelbo音乐提示您";
constexpr char kText[] = "升级程序已下载完，您下次打开\nZelbo音乐时系统将自动完成更新";

bool HaveBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  return address != nullptr && *address != '\0';
}

// Sets (or, with nothing, removes) an environment variable for the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SessionBusNotifierTest, ShowsOneBubbleAndReplacesItLater) {
  if (!HaveBus()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
  testing::FakeNotificationService service;
  ASSERT_TRUE(service.ready());
  SessionBusNotifier notifier("Zelbo音乐", 5000ms);
  notifier.Notify(kTitle, kText);
  EXPECT_EQ(notifier.notification_id(), 41u);
  notifier.Notify(kTitle, "second");
  const auto calls = service.calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].application, "Zelbo音乐");
  EXPECT_EQ(calls[0].replaces_id, 0u);
  EXPECT_EQ(calls[0].summary, kTitle);
  EXPECT_EQ(calls[0].body, kText);
  EXPECT_EQ(calls[0].expire_timeout, -1);
  EXPECT_EQ(calls[1].replaces_id, 41u);
  EXPECT_EQ(calls[1].body, "second");
  EXPECT_EQ(notifier.notification_id(), 41u);
}

TEST(SessionBusNotifierTest, TextThatIsNotUtf8IsShownRepaired) {
  if (!HaveBus()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
  testing::FakeNotificationService service;
  ASSERT_TRUE(service.ready());
  SessionBusNotifier notifier("app", 5000ms);
  notifier.Notify("bad \xff title", std::string("nul\0inside", 10));
  const auto calls = service.calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(g_utf8_validate(calls[0].summary.c_str(), -1, nullptr));
  EXPECT_EQ(calls[0].summary.rfind("bad ", 0), 0u);
}

TEST(SessionBusNotifierTest, NoServiceOnTheBusShowsNothingAndReturnsAtOnce) {
  if (!HaveBus()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
  SessionBusNotifier notifier("app", 20000ms);
  const auto start = Clock::now();
  notifier.Notify(kTitle, kText);
  // The bus answers "no such service" itself; nothing waits for the call's timeout.
  EXPECT_LT(Clock::now() - start, 10s);
  EXPECT_EQ(notifier.notification_id(), 0u);
  // A service that appears later is used by the same notifier.
  testing::FakeNotificationService service;
  ASSERT_TRUE(service.ready());
  notifier.Notify(kTitle, kText);
  EXPECT_EQ(service.calls().size(), 1u);
  EXPECT_EQ(notifier.notification_id(), 41u);
}

TEST(SessionBusNotifierTest, AServiceThatNeverAnswersCostsAtMostTheTimeout) {
  if (!HaveBus()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
  testing::FakeNotificationService service(/*hang=*/true);
  ASSERT_TRUE(service.ready());
  SessionBusNotifier notifier("app", 300ms);
  const auto start = Clock::now();
  notifier.Notify(kTitle, kText);
  EXPECT_LT(Clock::now() - start, 10s);
  EXPECT_EQ(notifier.notification_id(), 0u);
  EXPECT_EQ(service.calls().size(), 1u);  // the call did reach it
}

TEST(SessionBusNotifierTest, WithoutABusNothingHappens) {
  struct Case {
    const char* name;
    std::optional<std::string> address;
    std::optional<std::string> runtime_dir;
  };
  const Case cases[] = {
      {"nothing set", std::nullopt, std::nullopt},
      {"runtime folder without a bus", std::nullopt, "/nonexistent-runtime-folder"},
      {"address of a missing socket", "unix:path=/nonexistent-folder/bus", std::nullopt},
      {"malformed address", "not an address", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedEnv address("DBUS_SESSION_BUS_ADDRESS", c.address);
    ScopedEnv runtime("XDG_RUNTIME_DIR", c.runtime_dir);
    auto notifier = CreateSessionBusNotifier("app", 2000ms);
    const auto start = Clock::now();
    notifier->Notify(kTitle, kText);
    notifier->Notify(kTitle, kText);
    EXPECT_LT(Clock::now() - start, 10s);
  }
}

}  // namespace
}  // namespace quillo::desktop
