#pragma once
// The phone a user points the program at with the configuration keys
// "module.device.card_folder" and "module.device.phone_folder" (a folder that is not detected,
// or a test's folder). Reads the store's configuration; any thread that may use the store.
#include <optional>

#include "device/PhoneRoots.h"

namespace quillo::store {
class DocumentStore;
}

namespace quillo::device {

inline constexpr const char* kCardFolderKey = "module.device.card_folder";
inline constexpr const char* kPhoneFolderKey = "module.device.phone_folder";

// The configured roots, or none when no card folder is configured or it is not a folder. A
// phone folder that is not a folder is taken as a one-drive phone.
std::optional<PhoneRoots> ConfiguredPhoneRoots(const store::DocumentStore& store);

}  // namespace quillo::device
