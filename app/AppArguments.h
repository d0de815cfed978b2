#pragma once
// The program's command line: options, and the text handed to the main window (or to the
// running instance) as its command line.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::app {

struct AppArguments {
  bool show_version = false;
  bool show_help = false;
  bool quit = false;      // ask the running instance to end
  bool headless = false;  // no main window even when a display is available
  std::string data_dir;
  // What is not an option: a music file path or a "quillo://add/..." link.
  std::vector<std::string> positional;
  // Set when the command line cannot be used; the program then prints it and the usage.
  std::string error;
};

// args: the arguments after the program name. "--" ends the options; "--data-dir DIR" and
// "--data-dir=DIR" are both accepted.
AppArguments ParseAppArguments(const std::vector<std::string>& args);

// The command line text to hand over: the positional arguments joined by single spaces (a path
// split by an unquoting caller comes back whole). A relative path that names an existing file
// from the current folder is made absolute, because the running instance that receives it has
// a current folder of its own. A local file:// URI becomes its path. Empty when there are no
// positional arguments.
std::string HandOverText(const std::vector<std::string>& positional,
                         std::string_view current_folder,
                         const std::function<bool(const std::string&)>& file_exists);

// The path of a local file's URI ("file:///home/me/%E6%AD%8C.mp3" or "file://localhost/..."),
// percent-decoded; empty for any other text, a file on another host, a query or fragment, a
// broken escape or an encoded NUL.
std::string LocalPathOfFileUri(std::string_view text);

std::string UsageText();

}  // namespace quillo::app
