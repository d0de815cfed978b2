#include "ui/dialogs/EnsureFolder.h"

#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"

namespace quillo::ui {

std::string EnsureFolder::Normalised(std::string_view path) {
  std::string trimmed = text::Trim(path);
  if (!trimmed.empty() && trimmed.back() != '/') trimmed += '/';
  return trimmed;
}

bool EnsureFolder::Run(std::string& path, std::string_view label,
                       const FolderQuestions& questions) {
  const std::string prefix = std::string(label) + "目录[" + path;
  path = Normalised(path);
  if (!path.empty() && fs::FolderExists(path)) return true;
  if (path.empty() || path.front() != '/') {
    if (questions.alert) questions.alert(prefix + "]不存在且无法创建！");
    return false;
  }
  if (!questions.confirm || !questions.confirm(prefix + "]不存在，是否要创建？")) return false;
  if (!fs::CreateFolders(path) || !fs::FolderExists(path)) {
    if (questions.alert) questions.alert(prefix + "]创建失败！");
    return false;
  }
  return true;
}

}  // namespace quillo::ui
