#pragma once
// "No phone connected", for hosts that have no phones (the UI gallery's demo lists). Every
// operation changes nothing.
#include "service/sync/PhoneLists.h"

namespace quillo::service {

class NoPhone : public PhoneLists {
 public:
  bool IsConnected() override { return false; }
  std::vector<store::PlaylistEntry> Lists() override { return {}; }
  std::string CreateList(const std::string&, const std::string&) override { return {}; }
  bool RenameList(const std::string&, const std::string&) override { return false; }
  bool DeleteList(const std::string&) override { return false; }
  bool AddSongs(const std::string&, const std::vector<store::MusicRecord>&) override {
    return false;
  }
  bool RemoveSong(const std::string&, const std::string&) override { return false; }
  bool DeleteSong(const std::string&, const std::string&) override { return false; }
  void ClearList(const std::string&) override {}
  void StartUpdate() override {}
};

}  // namespace quillo::service
