#pragma once
// The program's version text: the data file's version attribute, the user agent's version and
// the version sent to the update check. Defined here once; everything else refers to it.
#include <string_view>

namespace quillo::store {

inline constexpr std::string_view kProgramVersion = "1.3.1";

}  // namespace quillo::store
