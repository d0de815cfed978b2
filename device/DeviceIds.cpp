#include "device/DeviceIds.h"

#include "platform/crypto/Crypto.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/CaseMapping.h"

namespace quillo::device {

std::string DeviceToken(std::string_view card_root) {
  return crypto::Md5Hex(fs::WithTrailingSlash(card_root)).substr(0, 8);
}

std::string DeviceIdOf(std::string_view id) {
  if (id.substr(0, 2) != "d_") return {};
  std::size_t end = id.find('_', 2);
  if (end == std::string_view::npos) return {};
  return std::string(id.substr(2, end - 2));
}

std::string AllSongsListId(std::string_view device_id) {
  return "d_" + std::string(device_id) + "_";
}

std::string DeviceListId(std::string_view device_id, std::string_view part) {
  return AllSongsListId(device_id) + std::string(part);
}

bool IsAllSongsListId(std::string_view id) {
  std::string device = DeviceIdOf(id);
  return !device.empty() && id.size() == device.size() + 3;
}

std::string ListIdForName(std::string_view device_id, std::string_view name) {
  return DeviceListId(device_id, crypto::Md5Hex(text::ToLowerUnicode(name)));
}

}  // namespace quillo::device
