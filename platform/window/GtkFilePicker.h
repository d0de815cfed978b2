#pragma once
// FileChooser with GtkFileChooserDialog (local files only), transient for the parent's window.
#include "platform/window/FileChooser.h"

namespace quillo::window {

class GtkFilePicker : public FileChooser {
 public:
  std::vector<std::string> ChooseFiles(const std::string& title, const std::string& filter_name,
                                       const std::vector<std::string>& patterns,
                                       const WindowPresenter* parent) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const WindowPresenter* parent) override;
};

}  // namespace quillo::window
