#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away. path() ends with '/'.
#include <string>

namespace quillo::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

}  // namespace quillo::testing
