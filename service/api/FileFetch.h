#pragma once
// One file fetch of the request catalogue: the URL and the safe downloader's Download
// arguments that go with it.
#include <cstdint>
#include <string>

namespace quillo::service {

struct FileFetch {
  std::string url;
  bool append_extension = false;
  std::int64_t min_size = 0;  // bytes; 0: none
  std::int64_t max_size = 0;  // bytes; 0: none
  int attempts = 8;

  bool operator==(const FileFetch&) const = default;
};

}  // namespace quillo::service
