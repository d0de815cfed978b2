// MountWatcher over GVolumeMonitor's "mount-added" and "mount-removed" signals.
#include <gio/gio.h>

#include "platform/drives/MountWatcher.h"

namespace quillo::drives {
namespace {

struct ObjectUnref {
  void operator()(gpointer object) const {
    if (object) g_object_unref(object);
  }
};

// The local path of a mount's root ("" for mounts without one, such as some network shares).
std::string RootOf(GMount* mount) {
  std::unique_ptr<GFile, ObjectUnref> root(g_mount_get_root(mount));
  if (!root) return {};
  char* path = g_file_get_path(root.get());
  if (!path) return {};
  std::string text(path);
  g_free(path);
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

class GioMountWatcher : public MountWatcher {
 public:
  explicit GioMountWatcher(MountEvents events)
      : events_(std::move(events)), monitor_(g_volume_monitor_get()) {
    added_id_ = g_signal_connect(monitor_.get(), "mount-added", G_CALLBACK(OnAdded), this);
    removed_id_ = g_signal_connect(monitor_.get(), "mount-removed", G_CALLBACK(OnRemoved), this);
  }
  ~GioMountWatcher() override {
    g_signal_handler_disconnect(monitor_.get(), added_id_);
    g_signal_handler_disconnect(monitor_.get(), removed_id_);
  }

  std::vector<std::string> CurrentMounts() override {
    std::vector<std::string> roots;
    GList* mounts = g_volume_monitor_get_mounts(monitor_.get());
    for (GList* item = mounts; item; item = item->next) {
      std::string root = RootOf(G_MOUNT(item->data));
      if (!root.empty()) roots.push_back(std::move(root));
    }
    g_list_free_full(mounts, g_object_unref);
    return roots;
  }

 private:
  static void OnAdded(GVolumeMonitor*, GMount* mount, gpointer self) {
    auto* watcher = static_cast<GioMountWatcher*>(self);
    std::string root = RootOf(mount);
    if (!root.empty() && watcher->events_.added) watcher->events_.added(root);
  }
  static void OnRemoved(GVolumeMonitor*, GMount* mount, gpointer self) {
    auto* watcher = static_cast<GioMountWatcher*>(self);
    std::string root = RootOf(mount);
    if (!root.empty() && watcher->events_.removed) watcher->events_.removed(root);
  }

  MountEvents events_;
  std::unique_ptr<GVolumeMonitor, ObjectUnref> monitor_;
  gulong added_id_ = 0;
  gulong removed_id_ = 0;
};

}  // namespace

std::unique_ptr<MountWatcher> CreateGioMountWatcher(MountEvents events) {
  return std::make_unique<GioMountWatcher>(std::move(events));
}

}  // namespace quillo::drives
