#pragma once
// The desktop's file and folder choosers, run modally over a parent window. No GTK here: the
// GTK implementation is GtkFileChooser; tests give a scripted one.
//
// Window thread.
#include <optional>
#include <string>
#include <vector>

namespace quillo::window {

class WindowPresenter;

class FileChooser {
 public:
  virtual ~FileChooser() = default;

  // Existing files, several may be chosen; only names matching one of `patterns` ("*.mp3",
  // matched without regard to case) are offered under `filter_name`. Empty when cancelled.
  virtual std::vector<std::string> ChooseFiles(const std::string& title,
                                               const std::string& filter_name,
                                               const std::vector<std::string>& patterns,
                                               const WindowPresenter* parent) = 0;
  // One existing folder of the file system; none when cancelled.
  virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                  const WindowPresenter* parent) = 0;
};

}  // namespace quillo::window
