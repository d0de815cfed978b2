#pragma once
// The fixed names the start-up sequence uses.
#include <string_view>

#include "store/ConfigKeys.h"
#include "store/ProgramVersion.h"

namespace quillo::app {

using store::kProgramVersion;
inline constexpr std::string_view kProductName = "Zelbo音乐";
inline constexpr std::string_view kDumpFileName = "Quillo.dmp";
inline constexpr std::string_view kUrlProtocolName = "QUILLO";
inline constexpr std::string_view kAutorunValueName = "Zelbo音乐";
inline constexpr std::string_view kAutorunConfigKey = "sorvel.autorun";
inline constexpr std::string_view kThemeStyleConfigKey = store::keys::kThemeStyle;
inline constexpr std::string_view kCompanionProgram = "QuilloExt.exe";
inline constexpr std::string_view kCompanionPendingCopy = "quillo_ext.ex_";

}  // namespace quillo::app
