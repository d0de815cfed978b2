#pragma once
// Makes sure a folder the user chose exists, asking before it creates anything:
//   - the path is trimmed and ends with '/' afterwards (the form named folders are stored in);
//   - an existing folder is fine;
//   - a path that is not absolute cannot be created: alert "<label>目录[<path>]不存在且无法创建！";
//   - otherwise the user is asked "<label>目录[<path>]不存在，是否要创建？"; on yes every missing
//     level is created, and when the folder still does not exist: alert "…]创建失败！".
// The messages show the path as the user gave it. Answers whether the folder exists now ("no"
// is a failure without a further message). Window thread (the questions are modal boxes).
#include <functional>
#include <string>
#include <string_view>

namespace quillo::ui {

struct FolderQuestions {
  std::function<void(const std::string& message)> alert;
  // True for yes.
  std::function<bool(const std::string& message)> confirm;
};

class EnsureFolder {
 public:
  // `path` is replaced by its normalised form (trimmed, ending with '/').
  static bool Run(std::string& path, std::string_view label, const FolderQuestions& questions);
  static std::string Normalised(std::string_view path);
};

}  // namespace quillo::ui
