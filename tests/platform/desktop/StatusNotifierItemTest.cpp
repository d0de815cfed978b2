// The tray icon as a status notifier item on a private session bus with a fake watcher: when it
// registers, whether it can show, and what a host's calls reach. Without a bus, only the choice
// of backend is tested.
#include "platform/desktop/StatusNotifierItem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "BusTestClient.h"
#include "FakeStatusNotifierWatcher.h"
#include "platform/desktop/TrayBackend.h"
#include "platform/desktop/TrayIconListener.h"

namespace quillo::desktop {
namespace {

using namespace std::chrono_literals;
using testing::BusTestClient;
using testing::FakeStatusNotifierWatcher;
using testing::kBusWait;

bool HaveBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  return address != nullptr && *address != '\0';
}

class RecordingListener : public TrayIconListener {
 public:
  void OnTrayActivate() override { ++activations; }
  void OnTrayMenuOpening() override {
    ++openings;
    if (item != nullptr) item->SetMenu({TrayMenuItem::Command(32848, "退出")});
  }
  void OnTrayCommand(int id) override { commands.push_back(id); }
  void OnTrayAvailabilityChanged(bool can_show) override { availability.push_back(can_show); }

  TrayIcon* item = nullptr;
  int activations = 0;
  int openings = 0;
  std::vector<int> commands;
  std::vector<bool> availability;
};

TEST(TrayBackendTest, ANotifierHostWinsThenADisplayThenNothing) {
  EXPECT_EQ(ChooseTrayBackend(true, true), TrayBackend::kStatusNotifierItem);
  EXPECT_EQ(ChooseTrayBackend(true, false), TrayBackend::kStatusNotifierItem);
  EXPECT_EQ(ChooseTrayBackend(false, true), TrayBackend::kStatusIcon);
  EXPECT_EQ(ChooseTrayBackend(false, false), TrayBackend::kNone);
}

TEST(TrayBackendTest, NoBusMeansNoHost) {
  EXPECT_FALSE(StatusNotifierItem::HostRegistered(nullptr, 100ms));
}

class StatusNotifierItemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveBus()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
  }
  std::unique_ptr<StatusNotifierItem> MakeItem(StatusNotifierItem::MenuPresenter presenter = {}) {
    ConnectionPtr connection = ConnectSessionBus(kBusWait);
    EXPECT_NE(connection, nullptr);
    auto item = std::make_unique<StatusNotifierItem>(std::move(connection), listener_,
                                                     TrayIconOptions{}, std::move(presenter));
    listener_.item = item.get();
    return item;
  }
  bool Registered(const FakeStatusNotifierWatcher& watcher, const std::string& name) {
    return loop_.PumpUntil(
        [&] {
          for (const std::string& entry : watcher.registered()) {
            if (entry == name) return true;
          }
          return false;
        },
        kBusWait);
  }

  loop::MainLoop loop_;
  RecordingListener listener_;
};

TEST_F(StatusNotifierItemTest, WithoutAWatcherNothingCanShow) {
  ConnectionPtr connection = ConnectSessionBus(kBusWait);
  ASSERT_NE(connection, nullptr);
  EXPECT_FALSE(StatusNotifierItem::HostRegistered(connection.get(), 1000ms));
  auto item = MakeItem();
  EXPECT_FALSE(item->CanShow()) << "closing to the tray would hide the program out of reach";
  EXPECT_EQ(item->backend(), TrayBackend::kStatusNotifierItem);
}

TEST_F(StatusNotifierItemTest, RegistersWithTheWatcherAndShowsWhileAHostIs) {
  FakeStatusNotifierWatcher watcher(true);
  ASSERT_TRUE(watcher.ready());
  ConnectionPtr connection = ConnectSessionBus(kBusWait);
  EXPECT_TRUE(StatusNotifierItem::HostRegistered(connection.get(), 1000ms));
  auto item = MakeItem();
  EXPECT_TRUE(item->CanShow()) << "known at construction, before the loop runs";
  EXPECT_TRUE(Registered(watcher, item->bus_name()));
  EXPECT_EQ(item->bus_name().rfind("org.kde.StatusNotifierItem-", 0), 0u);
}

TEST_F(StatusNotifierItemTest, AWatcherWithoutHostRegistersButCannotShowUntilAHostComes) {
  FakeStatusNotifierWatcher watcher(false);
  ASSERT_TRUE(watcher.ready());
  auto item = MakeItem();
  EXPECT_TRUE(Registered(watcher, item->bus_name()));
  EXPECT_FALSE(item->CanShow());
  watcher.RegisterHost();
  EXPECT_TRUE(loop_.PumpUntil([&] { return item->CanShow(); }, kBusWait));
  EXPECT_EQ(listener_.availability, std::vector<bool>{true});
}

TEST_F(StatusNotifierItemTest, TheWatcherLeavingHidesItAndItsReturnRegistersAgain) {
  auto watcher = std::make_unique<FakeStatusNotifierWatcher>(true);
  ASSERT_TRUE(watcher->ready());
  auto item = MakeItem();
  ASSERT_TRUE(Registered(*watcher, item->bus_name()));
  watcher.reset();
  EXPECT_TRUE(loop_.PumpUntil([&] { return !item->CanShow(); }, kBusWait));
  EXPECT_EQ(listener_.availability, std::vector<bool>{false});

  FakeStatusNotifierWatcher again(true);
  ASSERT_TRUE(again.ready());
  EXPECT_TRUE(Registered(again, item->bus_name()));
  EXPECT_TRUE(loop_.PumpUntil([&] { return item->CanShow(); }, kBusWait));
  EXPECT_EQ(listener_.availability, (std::vector<bool>{false, true}));
}

TEST_F(StatusNotifierItemTest, HostCallsReachTheListenerAndTheMenuIsTheOneSetWhileOpening) {
  FakeStatusNotifierWatcher watcher(true);
  ASSERT_TRUE(watcher.ready());
  struct Shown {
    TrayMenu menu;
    int x = 0, y = 0;
  };
  std::vector<Shown> shown;
  auto item = MakeItem([&](const TrayMenu& menu, int x, int y) { shown.push_back({menu, x, y}); });
  item->SetMenu({TrayMenuItem::Command(32849, "播放")});
  BusTestClient host(loop_);
  ASSERT_TRUE(host.ok());

  ASSERT_TRUE(host.Call(item->bus_name(), StatusNotifierItem::kItemPath,
                        "org.kde.StatusNotifierItem", "Activate", g_variant_new("(ii)", 5, 6)))
      << host.error();
  EXPECT_TRUE(loop_.PumpUntil([&] { return listener_.activations == 1; }, kBusWait));

  ASSERT_TRUE(host.Call(item->bus_name(), StatusNotifierItem::kItemPath,
                        "org.kde.StatusNotifierItem", "ContextMenu",
                        g_variant_new("(ii)", 100, 200)));
  ASSERT_TRUE(loop_.PumpUntil([&] { return !shown.empty(); }, kBusWait));
  EXPECT_EQ(listener_.openings, 1);
  EXPECT_EQ(shown[0].menu, (TrayMenu{TrayMenuItem::Command(32848, "退出")}));
  EXPECT_EQ(shown[0].x, 100);
  EXPECT_EQ(shown[0].y, 200);
}

TEST_F(StatusNotifierItemTest, TheTipIsTheToolTipAndChangesAreAnnounced) {
  FakeStatusNotifierWatcher watcher(true);
  ASSERT_TRUE(watcher.ready());
  auto item = MakeItem();
  BusTestClient host(loop_);
  ASSERT_TRUE(host.ok());
  host.Record("org.kde.StatusNotifierItem");

  auto read_tip = [&] {
    VariantPtr value = host.GetProperty(item->bus_name(), StatusNotifierItem::kItemPath,
                                        "org.kde.StatusNotifierItem", "ToolTip");
    if (!value) return std::pair<std::string, std::string>("<none>", host.error());
    const gchar* icon = nullptr;
    const gchar* title = nullptr;
    const gchar* text = nullptr;
    g_variant_get(value.get(), "(&sa(iiay)&s&s)", &icon, nullptr, &title, &text);
    return std::pair<std::string, std::string>(title, text);
  };
  EXPECT_EQ(read_tip(), (std::pair<std::string, std::string>("Zelbo音乐", "Zelbo音乐")));
  item->SetTip("晴天");
  EXPECT_NE(host.WaitForSignal("NewToolTip"), nullptr);
  EXPECT_EQ(read_tip(), (std::pair<std::string, std::string>("Zelbo音乐", "晴天")));
  item->SetTip(std::string("bad \xff\xfe bytes"));
  EXPECT_EQ(read_tip().second, "bad \xEF\xBF\xBD\xEF\xBF\xBD bytes") << "repaired, not aborted";

  VariantPtr id = host.GetProperty(item->bus_name(), StatusNotifierItem::kItemPath,
                                   "org.kde.StatusNotifierItem", "Id");
  ASSERT_TRUE(id);
  EXPECT_STREQ(g_variant_get_string(id.get(), nullptr), "quillo");
}

TEST_F(StatusNotifierItemTest, APngIconIsOfferedByNameInItsFolder) {
  auto item = MakeItem();
  item->SetIcon("/opt/quillo/icons/quillo-tray.png");
  BusTestClient host(loop_);
  ASSERT_TRUE(host.ok());
  VariantPtr name = host.GetProperty(item->bus_name(), StatusNotifierItem::kItemPath,
                                     "org.kde.StatusNotifierItem", "IconName");
  VariantPtr path = host.GetProperty(item->bus_name(), StatusNotifierItem::kItemPath,
                                     "org.kde.StatusNotifierItem", "IconThemePath");
  ASSERT_TRUE(name && path) << host.error();
  EXPECT_STREQ(g_variant_get_string(name.get(), nullptr), "quillo-tray");
  EXPECT_STREQ(g_variant_get_string(path.get(), nullptr), "/opt/quillo/icons");
}

TEST_F(StatusNotifierItemTest, DestroyingTheItemGivesUpItsName) {
  auto item = MakeItem();
  std::string name = item->bus_name();
  BusTestClient host(loop_);
  ASSERT_TRUE(host.ok());
  EXPECT_TRUE(host.NameHasOwner(name));
  item.reset();
  EXPECT_FALSE(host.NameHasOwner(name));
}

}  // namespace
}  // namespace quillo::desktop
