#include "media/TagFile.h"

#include "platform/fs/FileSystem.h"

namespace quillo::media {

TagFile::TagFile(std::string path, std::unique_ptr<std::ifstream> stream, std::uint64_t size)
    : path_(std::move(path)), stream_(std::move(stream)), disk_size_(size) {}

std::optional<TagFile> TagFile::Open(const std::string& path) {
  if (!fs::FileExists(path)) return std::nullopt;
  auto stream = std::make_unique<std::ifstream>(path, std::ios::binary);
  if (!*stream) return std::nullopt;
  stream->seekg(0, std::ios::end);
  std::streamoff end = stream->tellg();
  if (end < 0) return std::nullopt;
  stream->seekg(0);
  return TagFile(path, std::move(stream), static_cast<std::uint64_t>(end));
}

std::string TagFile::ReadAt(std::uint64_t offset, std::size_t count) {
  if (contents_loaded_) {
    if (offset >= contents_.size()) return {};
    return contents_.substr(static_cast<std::size_t>(offset), count);
  }
  if (offset >= disk_size_) return {};
  std::uint64_t available = disk_size_ - offset;
  if (count > available) count = static_cast<std::size_t>(available);
  std::string bytes(count, '\0');
  stream_->clear();
  stream_->seekg(static_cast<std::streamoff>(offset));
  stream_->read(bytes.data(), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<std::size_t>(stream_->gcount()));
  return bytes;
}

const std::string* TagFile::Contents() {
  if (!contents_loaded_) {
    std::string all = ReadAt(0, static_cast<std::size_t>(disk_size_));
    if (all.size() != disk_size_) return nullptr;
    contents_ = std::move(all);
    contents_loaded_ = true;
  }
  return &contents_;
}

void TagFile::SetContents(std::string bytes) {
  contents_ = std::move(bytes);
  contents_loaded_ = true;
  modified_ = true;
}

bool TagFile::Commit() {
  if (!modified_) return true;
  stream_.reset();
  bool written = fs::WriteFileAtomic(path_, contents_);
  if (written) modified_ = false;
  stream_ = std::make_unique<std::ifstream>(path_, std::ios::binary);
  return written;
}

}  // namespace quillo::media
