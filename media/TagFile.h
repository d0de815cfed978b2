#pragma once
// A song file opened for its tags. Reads go to the disk piece by piece (a tag reader needs the
// first and last bytes only) until a writer asks for the whole content; writers change that
// content in memory and Commit replaces the file atomically, so a crash or a failed write never
// leaves a half-tagged song behind.
//
// One object per call; not shared between threads.
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::media {

class TagFile {
 public:
  // No value when the file cannot be opened for reading.
  static std::optional<TagFile> Open(const std::string& path);

  const std::string& path() const { return path_; }
  std::uint64_t Size() const { return contents_loaded_ ? contents_.size() : disk_size_; }

  // Up to `count` bytes from `offset` (fewer at the end; empty past it).
  std::string ReadAt(std::uint64_t offset, std::size_t count);

  // The whole content, read once; nullptr when it cannot be read.
  const std::string* Contents();
  // Replaces the content that Commit will write.
  void SetContents(std::string bytes);
  bool modified() const { return modified_; }

  // Writes the changed content over the file (temporary file and rename). True when nothing was
  // changed or the write succeeded.
  bool Commit();

 private:
  TagFile(std::string path, std::unique_ptr<std::ifstream> stream, std::uint64_t size);

  std::string path_;
  std::unique_ptr<std::ifstream> stream_;
  std::uint64_t disk_size_ = 0;
  std::string contents_;
  bool contents_loaded_ = false;
  bool modified_ = false;
};

}  // namespace quillo::media
