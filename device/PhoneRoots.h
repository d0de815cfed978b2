#pragma once
// The two mount roots of a phone and the mapping between the paths its player writes and paths
// on this computer. The phone sees its memory card as "E:" and its own memory as "C:"; here the
// card is mounted at card_root and the phone memory at phone_root (the same folder when the
// phone has one drive). Phone paths keep the player's form: drive letter, colon, backslashes.
//
// A value type; any thread.
#include <optional>
#include <string>
#include <string_view>

namespace quillo::device {

class PhoneRoots {
 public:
  // Both roots are absolute folders; a final '/' is added when missing. An empty phone root
  // means the phone has one drive.
  PhoneRoots(std::string_view card_root, std::string_view phone_root = {});

  const std::string& card_root() const { return card_root_; }
  const std::string& phone_root() const { return phone_root_; }
  bool two_drives() const { return card_root_ != phone_root_; }

  // The computer path of a phone path. With two drives "E:" names the card and any other letter
  // the phone memory; with one drive every letter names the card. No value for text that is not
  // a drive path, or whose steps would leave the root (".."): names read from the phone's files
  // never reach outside it.
  std::optional<std::string> ToComputer(std::string_view phone_path) const;
  // The phone path of a file below one of the roots: "E:\…" for the card of a two-drive phone,
  // "C:\…" otherwise. No value for a path outside both roots.
  std::optional<std::string> ToPhone(std::string_view computer_path) const;

  // The drive text a relative music-folder name is placed under: "E:\" or "C:\".
  std::string PhoneDriveText() const { return two_drives() ? "E:\\" : "C:\\"; }

  // The card's music folder ("我的音乐/" below the card root) and the phone's player folder.
  std::string MusicFolder() const { return card_root_ + "我的音乐/"; }

  // True when the path is the root itself or below it, step by step (no ".." steps at all).
  static bool IsBelow(std::string_view root, std::string_view path);

 private:
  std::string card_root_;
  std::string phone_root_;
};

}  // namespace quillo::device
