#pragma once
// Where the settings dialog's font lists come from: the names of the font families the desktop
// offers. The fontconfig implementation is FontconfigFamilies; tests give a fixed list.
#include <string>
#include <vector>

namespace quillo::gfx {

class FontFamilySource {
 public:
  virtual ~FontFamilySource() = default;
  // Every family name once, in the order the platform enumerates them. Any thread.
  virtual std::vector<std::string> Families() const = 0;
};

}  // namespace quillo::gfx
