#include "platform/fs/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>

namespace quillo::fs {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and reports whether the close succeeded (a failed close can mean lost data).
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string RandomSuffix() {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string suffix;
  for (int i = 0; i < 8; ++i) suffix.push_back(kDigits[generator() % 36]);
  return suffix;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  // Without O_NONBLOCK opening a pipe waits for a writer, which may never come; a device may
  // never end. Only regular files are read (O_NONBLOCK does nothing to them).
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.valid()) return std::nullopt;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::string bytes;
  if (info.st_size > 0) bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes) {
  std::string folder = ParentFolder(path);
  std::string temporary = folder + "." + BaseName(path) + ".tmp-" + RandomSuffix();
  FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!fd.valid()) return false;
  bool ok = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  ok = fd.Close() && ok;
  if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // The rename itself must reach the disk too, or a power cut could bring the old name back.
  FileDescriptor dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
  return true;
}

bool WriteFile(const std::string& path, std::string_view bytes) {
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!fd.valid()) return false;
  bool ok = WriteAll(fd.get(), bytes);
  return fd.Close() && ok;
}

bool CreateFolders(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path), error);
  return FolderExists(path);
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RemoveEmptyFolder(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

bool RemoveTree(const std::string& path) {
  std::error_code error;
  std::filesystem::remove_all(std::filesystem::path(path), error);
  return !error && !PathExists(path);
}

bool RenamePath(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::int64_t> ModifiedTimeNs(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

bool IsAtomicWriteLeftoverName(std::string_view name) {
  constexpr std::string_view kMarker = ".tmp-";
  constexpr std::size_t kSuffix = 8;
  if (name.size() < 1 + 1 + kMarker.size() + kSuffix || name.front() != '.') return false;
  const std::size_t marker = name.size() - kSuffix - kMarker.size();
  if (name.substr(marker, kMarker.size()) != kMarker) return false;
  for (const char c : name.substr(name.size() - kSuffix)) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))) return false;
  }
  return true;
}

std::vector<std::string> RemoveAtomicWriteLeftovers(const std::string& folder, bool recursive,
                                                    int min_age_s,
                                                    const std::function<bool()>& keep_going) {
  std::vector<std::string> removed;
  std::vector<std::string> pending = {WithTrailingSlash(folder)};
  const std::int64_t now_s = static_cast<std::int64_t>(std::time(nullptr));
  while (!pending.empty()) {
    if (keep_going && !keep_going()) break;
    const std::string current = std::move(pending.back());
    pending.pop_back();
    for (const std::string& name : ListFolder(current)) {
      const std::string path = current + name;
      struct stat info {};
      if (::lstat(path.c_str(), &info) != 0) continue;
      if (S_ISDIR(info.st_mode)) {
        if (recursive) pending.push_back(path + "/");
        continue;
      }
      if (!S_ISREG(info.st_mode) || !IsAtomicWriteLeftoverName(name)) continue;
      if (now_s - static_cast<std::int64_t>(info.st_mtim.tv_sec) < min_age_s) continue;
      if (::unlink(path.c_str()) == 0) removed.push_back(path);
    }
  }
  return removed;
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(path.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  ::closedir(dir);
  return names;
}

std::string ParentFolder(std::string_view path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash + 1));
}

std::string BaseName(std::string_view path) {
  std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  return WithTrailingSlash(folder) + std::string(name);
}

std::string WithTrailingSlash(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != '/') out.push_back('/');
  return out;
}

std::string ExecutablePath() {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.string();
}

std::string ProgramFolder() { return ParentFolder(ExecutablePath()); }

std::string LocalTimestampText() {
  std::time_t now = std::time(nullptr);
  std::tm local {};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

bool IsTerminal(StandardStream stream) {
  return ::isatty(stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

}  // namespace quillo::fs
