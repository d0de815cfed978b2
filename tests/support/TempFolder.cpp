#include "support/TempFolder.h"

#include <cstdlib>
#include <stdexcept>

#include "platform/fs/FileSystem.h"

namespace quillo::testing {

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillo-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern + "/";
}

TempFolder::~TempFolder() { fs::RemoveTree(path_); }

}  // namespace quillo::testing
