#pragma once
// Helpers for tests that look at a data folder from outside the store.
#include <optional>
#include <string>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"

namespace quillo::testing {

// The XML text inside a scrambled data file, or no value when the file is missing or not in
// the scrambled form.
inline std::optional<std::string> DecodeDataFile(const std::string& path) {
  std::optional<std::string> bytes = fs::ReadWholeFile(path);
  if (!bytes || bytes->empty() || static_cast<unsigned char>((*bytes)[0]) != 0x01) return std::nullopt;
  store::DocumentStore::XorWithKey(*bytes, 1);
  return bytes->substr(1);
}

inline bool WriteScrambled(const std::string& path, const std::string& xml) {
  std::string bytes = "\x01" + xml;
  store::DocumentStore::XorWithKey(bytes, 1);
  return fs::WriteFile(path, bytes);
}

}  // namespace quillo::testing
