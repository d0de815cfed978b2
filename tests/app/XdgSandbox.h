#pragma once
// Points the XDG base folders of this test process at a fresh temporary folder and puts the old
// values back afterwards.
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace quillo::testing {

class XdgSandbox {
 public:
  XdgSandbox() {
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    fs::CreateFolders(data_home());
    fs::CreateFolders(config_home());
    fs::CreateFolders(runtime_dir());
    ::setenv("XDG_DATA_HOME", data_home().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config_home().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime_dir().c_str(), 1);
  }
  ~XdgSandbox() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

  std::string data_home() const { return folder_.path() + "data/"; }
  std::string config_home() const { return folder_.path() + "config/"; }
  std::string runtime_dir() const { return folder_.path() + "run/"; }
  const std::string& root() const { return folder_.path(); }
  // The variables for a child process's environment.
  std::map<std::string, std::string> Environment() const {
    return {{"XDG_DATA_HOME", data_home()},
            {"XDG_CONFIG_HOME", config_home()},
            {"XDG_RUNTIME_DIR", runtime_dir()},
            // The headless run: no main window opens in these process tests.
            {"DISPLAY", ""}};
  }

 private:
  TempFolder folder_;
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace quillo::testing
