#include "tools/quillo-tool/FileArgument.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <system_error>

namespace quillo::tool {
namespace {

std::string Reason(int error_number) {
  return std::generic_category().message(error_number);
}

// Opens the file as the command will and reads a byte, so that a file that opens but cannot be
// read (a damaged medium, a folder on some systems) is caught too. Empty when that worked.
std::string AccessProblem(const std::string& path, const char* mode) {
  errno = 0;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), mode),
                                                       &std::fclose);
  if (!file) return Reason(errno != 0 ? errno : EACCES);
  char byte;
  if (std::fread(&byte, 1, 1, file.get()) == 0 && std::ferror(file.get())) {
    return Reason(errno != 0 ? errno : EIO);
  }
  return {};
}

}  // namespace

std::string FileProblem(const std::string& path, FileUse use) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found || path.empty()) {
    return "文件不存在: " + path;
  }
  if (error) return "无法读取文件: " + path + ": " + error.message();
  if (std::filesystem::is_directory(status)) {
    if (use != FileUse::kReadFileOrFolder) return "不是文件: " + path;
    std::filesystem::directory_iterator walk(path, error);
    return error ? "无法读取文件夹: " + path + ": " + error.message() : std::string();
  }
  // A pipe, a socket or a device: opening a pipe waits for a writer that may never come, and a
  // device may never end.
  if (!std::filesystem::is_regular_file(status)) return "不是文件: " + path;
  if (std::string reason = AccessProblem(path, "rb"); !reason.empty()) {
    return "无法读取文件: " + path + ": " + reason;
  }
  if (use == FileUse::kReadWrite) {
    if (std::string reason = AccessProblem(path, "r+b"); !reason.empty()) {
      return "无法写入文件: " + path + ": " + reason;
    }
  }
  return {};
}

bool CheckFileArgument(const std::string& path, FileUse use, std::ostream& err) {
  const std::string problem = FileProblem(path, use);
  if (problem.empty()) return true;
  err << "quillo-tool: " << problem << "\n";
  return false;
}

}  // namespace quillo::tool
