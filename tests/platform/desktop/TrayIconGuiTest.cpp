// The tray icon with GTK: which backend CreateTrayIcon picks on a private session bus with and
// without a status notifier watcher, and the menu popup's items and commands. The display
// cases need X (Xvfb, where no system tray embeds a status icon); without a display only the
// no-tray case runs.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "FakeStatusNotifierWatcher.h"
#include "platform/desktop/TrayIcon.h"
#include "platform/desktop/TrayIconListener.h"
#include "platform/desktop/TrayMenuPopup.h"
#include "platform/loop/MainLoop.h"

namespace quillo::desktop {
namespace {

using testing::FakeStatusNotifierWatcher;

bool HaveBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  return address != nullptr && *address != '\0';
}

bool HaveDisplay() {
  static const bool kOpened = [] {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0' && gtk_init_check(nullptr, nullptr);
  }();
  return kOpened;
}

class NullListener : public TrayIconListener {
 public:
  void OnTrayActivate() override {}
  void OnTrayCommand(int id) override { commands.push_back(id); }
  std::vector<int> commands;
};

TEST(TrayIconNoDisplayTest, WithoutWatcherAndDisplayTheIconNeverShows) {
  if (std::getenv("DISPLAY") != nullptr) GTEST_SKIP() << "runs without a display";
  loop::MainLoop loop;
  NullListener listener;
  auto icon = CreateTrayIcon(listener, TrayIconOptions{});
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->backend(), TrayBackend::kNone);
  EXPECT_FALSE(icon->CanShow());
  icon->SetTip("晴天");
  EXPECT_EQ(icon->tip(), "晴天");
}

class TrayIconGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no display";
    loop_ = std::make_unique<loop::MainLoop>();
  }
  std::unique_ptr<loop::MainLoop> loop_;
  NullListener listener_;
};

TEST_F(TrayIconGuiTest, WithoutAWatcherTheStatusIconIsUsedAndNoTrayMeansItCannotShow) {
  auto icon = CreateTrayIcon(listener_, TrayIconOptions{});
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->backend(), TrayBackend::kStatusIcon);
  // No system tray on this display embeds it: the window must minimise instead of hiding.
  loop_->PumpPending();
  EXPECT_FALSE(icon->CanShow());
  EXPECT_EQ(icon->tip(), "Zelbo音乐");
  icon->SetTip("晴天");
  EXPECT_EQ(icon->tip(), "晴天");
}

TEST_F(TrayIconGuiTest, AWatcherWithAHostGivesAStatusNotifierItem) {
  if (!HaveBus()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
  FakeStatusNotifierWatcher watcher(true);
  ASSERT_TRUE(watcher.ready());
  auto icon = CreateTrayIcon(listener_, TrayIconOptions{});
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->backend(), TrayBackend::kStatusNotifierItem);
  EXPECT_TRUE(icon->CanShow());
}

TEST_F(TrayIconGuiTest, AWatcherWithoutHostFallsBackToTheStatusIcon) {
  if (!HaveBus()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
  FakeStatusNotifierWatcher watcher(false);
  ASSERT_TRUE(watcher.ready());
  auto icon = CreateTrayIcon(listener_, TrayIconOptions{});
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->backend(), TrayBackend::kStatusIcon);
}

std::vector<GtkWidget*> Items(GtkWidget* shell) {
  std::vector<GtkWidget*> items;
  GList* children = gtk_container_get_children(GTK_CONTAINER(shell));
  for (GList* it = children; it != nullptr; it = it->next) {
    items.push_back(GTK_WIDGET(it->data));
  }
  g_list_free(children);
  return items;
}

std::string Label(GtkWidget* item) {
  const gchar* label = gtk_menu_item_get_label(GTK_MENU_ITEM(item));
  return label != nullptr ? label : "";
}

TEST_F(TrayIconGuiTest, ThePopupShowsTheMenuAndReportsTheChosenId) {
  std::vector<int> chosen;
  TrayMenuPopup popup([&](int id) { chosen.push_back(id); });
  TrayMenu menu = {
      TrayMenuItem::Command(32849, "播放"),
      TrayMenuItem::Separator(),
      TrayMenuItem::Submenu("播放模式", {TrayMenuItem::Radio(32938, "单曲播放", false),
                                         TrayMenuItem::Radio(32941, "循环播放", true)}),
      TrayMenuItem::Check(33038, "关闭歌词", true),
      TrayMenuItem::Command(32993, "访问我的Zelbo空间", false),
  };
  popup.Popup(menu, 10, 10, 0, 0);
  ASSERT_NE(popup.widget(), nullptr);
  std::vector<GtkWidget*> items = Items(popup.widget());
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(Label(items[0]), "播放");
  EXPECT_TRUE(GTK_IS_SEPARATOR_MENU_ITEM(items[1]));
  GtkWidget* submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(items[2]));
  ASSERT_NE(submenu, nullptr);
  std::vector<GtkWidget*> modes = Items(submenu);
  ASSERT_EQ(modes.size(), 2u);
  EXPECT_FALSE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(modes[0])));
  EXPECT_TRUE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(modes[1])));
  EXPECT_TRUE(gtk_check_menu_item_get_draw_as_radio(GTK_CHECK_MENU_ITEM(modes[1])));
  EXPECT_TRUE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(items[3])));
  EXPECT_FALSE(gtk_widget_get_sensitive(items[4]));
  EXPECT_TRUE(chosen.empty()) << "setting the checks chooses nothing";

  gtk_menu_item_activate(GTK_MENU_ITEM(modes[0]));
  gtk_menu_item_activate(GTK_MENU_ITEM(items[0]));
  EXPECT_EQ(chosen, (std::vector<int>{32938, 32849}));

  // A second showing replaces the first menu.
  popup.Popup({TrayMenuItem::Command(32848, "退出")}, -1, -1, 0, 0);
  ASSERT_EQ(Items(popup.widget()).size(), 1u);
  EXPECT_EQ(Label(Items(popup.widget())[0]), "退出");
}

}  // namespace
}  // namespace quillo::desktop
