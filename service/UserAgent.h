#pragma once
// The user agent of every request the client sends to the service, its upload host included.
#include <string>

#include "store/ProgramVersion.h"

namespace quillo::service {

// "Sorvel Client - 1.3.1".
inline std::string UserAgent() { return "Sorvel Client - " + std::string(store::kProgramVersion); }

}  // namespace quillo::service
