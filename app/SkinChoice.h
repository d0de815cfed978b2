#pragma once
// The skin: resource 194 + "theme.style", where only the nine styles 0 to 8 exist; any other
// value (a number out of range, or text that is not a number, which reads as 0) gives 194.
namespace quillo::app {

inline constexpr int kFirstSkinResource = 194;
inline constexpr int kLastSkinResource = 202;

int SkinResourceForThemeStyle(int theme_style);

// The skin chosen at start-up, for the window toolkit's image manager; kFirstSkinResource until
// the start-up has read the configuration. Window thread.
int CurrentSkinResource();
void SetCurrentSkinResource(int resource);

}  // namespace quillo::app
