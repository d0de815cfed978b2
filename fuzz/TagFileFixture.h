#pragma once
// A TagFile whose content is set from memory: the tag readers and writers work on the file's
// content, so each input replaces it instead of being written to disk. The placeholder file
// that TagFile::Open needs is made once per process in the temporary folder.
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "media/TagFile.h"

namespace quillo::fuzz {

inline media::TagFile TagFileWith(std::string contents) {
  static const std::string placeholder = [] {
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder && *folder ? folder : "/tmp") + "/quillo-fuzz-tagfile";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "";
    return path;
  }();
  std::optional<media::TagFile> file = media::TagFile::Open(placeholder);
  FUZZ_CHECK(file.has_value());
  file->SetContents(std::move(contents));
  return std::move(*file);
}

}  // namespace quillo::fuzz
