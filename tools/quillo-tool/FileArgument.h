#pragma once
// Checks a path a command was given before the command works on it, so that a failure names its
// real cause ("文件不存在: PATH") instead of what the command then could not find in the file.
#include <iosfwd>
#include <string>

namespace quillo::tool {

enum class FileUse {
  kRead,              // a file the command reads
  kReadWrite,         // a file the command changes in place
  kReadFileOrFolder,  // a file, or a folder the command walks
};

// Empty when the path can be used so; otherwise the cause, in the program's language:
// "文件不存在: PATH", "不是文件: PATH", "无法读取文件: PATH: <reason>", "无法写入文件: PATH:
// <reason>".
std::string FileProblem(const std::string& path, FileUse use);

// Prints "quillo-tool: " + the cause on `err` and answers false when the path cannot be used.
bool CheckFileArgument(const std::string& path, FileUse use, std::ostream& err);

}  // namespace quillo::tool
