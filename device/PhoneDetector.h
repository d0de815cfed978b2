#pragma once
// Tells phones apart from other mounted volumes and reports the one connected phone. A mount is
// a phone when its root holds the phone player's files: "AllMusic.txt", "@MusicPlayer/
// MPConfig.ini" or "我的音乐/sorvel.xml". Each such mount is reported as a one-drive phone (its
// card and phone roots are the same folder). A new phone replaces the connected one; removing
// the connected phone's mount reports none.
//
// Window thread (the mount events arrive there); the callback runs inside the calls below.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillo::device {

class PhoneDetector {
 public:
  // The card root of the phone now connected, or none.
  using Changed = std::function<void(const std::optional<std::string>& card_root)>;

  explicit PhoneDetector(Changed changed) : changed_(std::move(changed)) {}

  // The mounts present at start: the first phone among them is connected.
  void Start(const std::vector<std::string>& roots);
  void MountAdded(const std::string& root);
  void MountRemoved(const std::string& root);

  const std::optional<std::string>& connected() const { return connected_; }

  static bool HasPhoneLayout(const std::string& root);

 private:
  Changed changed_;
  std::optional<std::string> connected_;
};

}  // namespace quillo::device
