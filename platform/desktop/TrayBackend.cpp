#include "platform/desktop/TrayBackend.h"

namespace quillo::desktop {

TrayBackend ChooseTrayBackend(bool watcher_has_host, bool display_open) {
  if (watcher_has_host) return TrayBackend::kStatusNotifierItem;
  if (display_open) return TrayBackend::kStatusIcon;
  return TrayBackend::kNone;
}

const char* TrayBackendName(TrayBackend backend) {
  switch (backend) {
    case TrayBackend::kStatusNotifierItem:
      return "status-notifier-item";
    case TrayBackend::kStatusIcon:
      return "status-icon";
    case TrayBackend::kNone:
      break;
  }
  return "none";
}

}  // namespace quillo::desktop
