#include "device/PhoneDetector.h"

#include "platform/fs/FileSystem.h"

namespace quillo::device {

bool PhoneDetector::HasPhoneLayout(const std::string& root) {
  const std::string folder = fs::WithTrailingSlash(root);
  return fs::FileExists(folder + "AllMusic.txt") || fs::FileExists(folder + "@MusicPlayer/MPConfig.ini") ||
         fs::FileExists(folder + "我的音乐/sorvel.xml");
}

void PhoneDetector::Start(const std::vector<std::string>& roots) {
  for (const std::string& root : roots) {
    if (HasPhoneLayout(root)) {
      MountAdded(root);
      return;
    }
  }
}

void PhoneDetector::MountAdded(const std::string& root) {
  const std::string folder = fs::WithTrailingSlash(root);
  if (connected_ == folder || !HasPhoneLayout(folder)) return;
  connected_ = folder;
  if (changed_) changed_(connected_);
}

void PhoneDetector::MountRemoved(const std::string& root) {
  if (connected_ != fs::WithTrailingSlash(root)) return;
  connected_.reset();
  if (changed_) changed_(connected_);
}

}  // namespace quillo::device
