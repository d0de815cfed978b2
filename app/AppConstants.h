#pragma once
// The fixed names the start-up sequence uses.
#include <string_view>

namespace quillo::app {

inline constexpr std::string_view kProgramVersion = "1.3.1";
inline constexpr std::string_view kProductName = "Zelbo音乐";
inline constexpr std::string_view kDumpFileName = "Quillo.dmp";
inline constexpr std::string_view kUrlProtocolName = "QUILLO";
inline constexpr std::string_view kAutorunValueName = "Zelbo音乐";
inline constexpr std::string_view kAutorunConfigKey = "sorvel.autorun";
inline constexpr std::string_view kThemeStyleConfigKey = "theme.style";
inline constexpr std::string_view kCompanionProgram = "QuilloExt.exe";
inline constexpr std::string_view kCompanionPendingCopy = "quillo_ext.ex_";

}  // namespace quillo::app
