#pragma once
// The tray icon as a StatusNotifierItem (org.kde.StatusNotifierItem) on the session bus,
// registered with org.kde.StatusNotifierWatcher. A host's Activate is the left click; its
// ContextMenu (the right click) asks the owner to show the menu, which this item leaves to a
// presenter (a GTK popup), so the item itself needs no display.
//
// Threads: window thread; the bus's calls are dispatched by the thread's default main context.
#include <gio/gio.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/desktop/SessionBus.h"
#include "platform/desktop/TrayIcon.h"

namespace quillo::desktop {

class TrayIconListener;

class StatusNotifierItem : public TrayIcon {
 public:
  // Shows the menu near (x, y) in screen coordinates (negative: at the pointer).
  using MenuPresenter = std::function<void(const TrayMenu& menu, int x, int y)>;

  static constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
  static constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
  static constexpr const char* kItemPath = "/StatusNotifierItem";

  // Whether the watcher on `connection` answers that a host is registered, within `timeout`.
  // False without a watcher. Blocks the calling thread for at most the time-out.
  static bool HostRegistered(GDBusConnection* connection, std::chrono::milliseconds timeout);

  // Exports the item on `connection`, takes the name "org.kde.StatusNotifierItem-<pid>-<n>"
  // and registers it with the watcher. The listener must outlive the item.
  StatusNotifierItem(ConnectionPtr connection, TrayIconListener& listener, TrayIconOptions options,
                     MenuPresenter presenter);
  ~StatusNotifierItem() override;
  StatusNotifierItem(const StatusNotifierItem&) = delete;
  StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

  void SetTip(const std::string& tip) override;
  void SetIcon(const std::string& icon) override;
  void SetMenu(TrayMenu menu) override;
  const std::string& tip() const override { return tip_; }
  const TrayMenu& menu() const override { return menu_; }
  TrayBackend backend() const override { return TrayBackend::kStatusNotifierItem; }
  bool CanShow() const override { return host_registered_ && watcher_present_; }

  // The item's bus name (what the watcher was given).
  const std::string& bus_name() const { return bus_name_; }

 private:
  static void OnMethodCall(GDBusConnection* connection, const gchar* sender,
                           const gchar* object_path, const gchar* interface_name,
                           const gchar* method_name, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* OnGetProperty(GDBusConnection* connection, const gchar* sender,
                                 const gchar* object_path, const gchar* interface_name,
                                 const gchar* property_name, GError** error, gpointer self);
  static void OnWatcherAppeared(GDBusConnection* connection, const gchar* name, const gchar* owner,
                                gpointer self);
  static void OnWatcherVanished(GDBusConnection* connection, const gchar* name, gpointer self);
  static void OnWatcherSignal(GDBusConnection* connection, const gchar* sender,
                              const gchar* object_path, const gchar* interface_name,
                              const gchar* signal_name, GVariant* parameters, gpointer self);

  void RegisterWithWatcher();
  void SetAvailability(bool watcher_present, bool host_registered);
  void EmitItemSignal(const char* name);
  GVariant* ToolTipVariant() const;

  ConnectionPtr connection_;
  TrayIconListener& listener_;
  TrayIconOptions options_;
  MenuPresenter presenter_;
  std::string tip_;
  std::string icon_;
  TrayMenu menu_;
  std::string bus_name_;
  bool watcher_present_ = false;
  bool host_registered_ = false;
  guint registration_ = 0;
  guint owner_id_ = 0;
  guint watch_id_ = 0;
  guint host_signal_id_ = 0;
  // Cancels the registration call still in flight when the item goes away.
  std::unique_ptr<GCancellable, GObjectUnref> cancellable_;
};

}  // namespace quillo::desktop
