// CreateTrayIcon: the backend choice between a status notifier item, a GtkStatusIcon and none.
#include <gtk/gtk.h>

#include <chrono>
#include <memory>
#include <utility>

#include "platform/desktop/GtkTrayIcon.h"
#include "platform/desktop/StatusNotifierItem.h"
#include "platform/desktop/TrayIcon.h"
#include "platform/desktop/TrayIconListener.h"
#include "platform/desktop/TrayMenuPopup.h"

namespace quillo::desktop {
namespace {

constexpr std::chrono::milliseconds kBusTimeout{1500};

// No tray at all: keeps what it is given so the owner's code needs no special case, and
// answers CanShow false so the owner never hides its window out of reach.
class HiddenTrayIcon : public TrayIcon {
 public:
  explicit HiddenTrayIcon(std::string tip) : tip_(std::move(tip)) {}
  void SetTip(const std::string& tip) override { tip_ = tip; }
  void SetIcon(const std::string&) override {}
  void SetMenu(TrayMenu menu) override { menu_ = std::move(menu); }
  const std::string& tip() const override { return tip_; }
  const TrayMenu& menu() const override { return menu_; }
  TrayBackend backend() const override { return TrayBackend::kNone; }
  bool CanShow() const override { return false; }

 private:
  std::string tip_;
  TrayMenu menu_;
};

bool DisplayOpen() {
  return gdk_display_get_default() != nullptr;
}

}  // namespace

std::unique_ptr<TrayIcon> CreateTrayIcon(TrayIconListener& listener, TrayIconOptions options) {
  ConnectionPtr connection = ConnectSessionBus(kBusTimeout);
  bool host = StatusNotifierItem::HostRegistered(connection.get(), kBusTimeout);
  switch (ChooseTrayBackend(host, DisplayOpen())) {
    case TrayBackend::kStatusNotifierItem: {
      // The popup lives as long as the item: the presenter owns it.
      auto popup =
          std::make_shared<TrayMenuPopup>([&listener](int id) { listener.OnTrayCommand(id); });
      auto presenter = [popup](const TrayMenu& menu, int x, int y) {
        if (DisplayOpen()) popup->Popup(menu, x, y, 0, 0);
      };
      return std::make_unique<StatusNotifierItem>(std::move(connection), listener,
                                                  std::move(options), std::move(presenter));
    }
    case TrayBackend::kStatusIcon:
      return std::make_unique<GtkTrayIcon>(listener, std::move(options));
    case TrayBackend::kNone:
      break;
  }
  return std::make_unique<HiddenTrayIcon>(options.tip);
}

}  // namespace quillo::desktop
