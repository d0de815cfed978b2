#pragma once
// The compiled bundle of skin images ("/quillo/skins/<id>.png") and the fontconfig alias file
// ("/quillo/fonts/quillo-fonts.conf").
namespace quillo::skin {

// Registers the bundle with GIO once; later calls do nothing. Any thread.
void RegisterResources();

inline constexpr const char* kFontConfigPath = "/quillo/fonts/quillo-fonts.conf";

}  // namespace quillo::skin
