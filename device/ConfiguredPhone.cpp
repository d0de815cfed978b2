#include "device/ConfiguredPhone.h"

#include <filesystem>

#include "store/DocumentStore.h"

namespace quillo::device {
namespace {

bool IsFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

}  // namespace

std::optional<PhoneRoots> ConfiguredPhoneRoots(const store::DocumentStore& store) {
  const std::string card = store.GetConfigText(kCardFolderKey, "");
  if (!IsFolder(card)) return std::nullopt;
  std::string phone = store.GetConfigText(kPhoneFolderKey, "");
  if (!IsFolder(phone)) phone.clear();
  return PhoneRoots(card, phone);
}

}  // namespace quillo::device
