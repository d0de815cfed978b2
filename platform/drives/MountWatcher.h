#pragma once
// Mounted volumes as they come and go (USB mass storage, SD cards, gvfs mounts that have a local
// path). The events arrive on the thread that runs the default GLib main context (the window
// thread); the watcher stops reporting when it is destroyed there.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillo::drives {

struct MountEvents {
  // The mount's root folder (absolute, ending in '/').
  std::function<void(const std::string& root)> added;
  std::function<void(const std::string& root)> removed;
};

class MountWatcher {
 public:
  virtual ~MountWatcher() = default;
  // The roots mounted now, in the volume monitor's order.
  virtual std::vector<std::string> CurrentMounts() = 0;
};

// The watcher over GIO's volume monitor; never null.
std::unique_ptr<MountWatcher> CreateGioMountWatcher(MountEvents events);

}  // namespace quillo::drives
