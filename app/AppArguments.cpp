#include "app/AppArguments.h"

#include "app/AppConstants.h"
#include "platform/text/TextUtil.h"

namespace quillo::app {

AppArguments ParseAppArguments(const std::vector<std::string>& args) {
  AppArguments parsed;
  bool options_done = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_done || arg.size() < 2 || arg[0] != '-') {
      parsed.positional.push_back(arg);
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--version") {
      parsed.show_version = true;
    } else if (arg == "--help" || arg == "-h") {
      parsed.show_help = true;
    } else if (arg == "--quit") {
      parsed.quit = true;
    } else if (arg == "--headless") {
      parsed.headless = true;
    } else if (arg == "--data-dir") {
      if (i + 1 == args.size() || args[i + 1].empty()) {
        parsed.error = "--data-dir needs a folder";
        return parsed;
      }
      parsed.data_dir = args[++i];
    } else if (text::StartsWith(arg, "--data-dir=")) {
      parsed.data_dir = arg.substr(11);
      if (parsed.data_dir.empty()) {
        parsed.error = "--data-dir needs a folder";
        return parsed;
      }
    } else {
      parsed.error = "unknown option " + arg;
      return parsed;
    }
  }
  return parsed;
}

std::string LocalPathOfFileUri(std::string_view text) {
  if (text.size() < 7 || text::ToLowerAscii(std::string(text.substr(0, 7))) != "file://") return {};
  std::string_view rest = text.substr(7);
  if (text::StartsWith(rest, "localhost/")) rest.remove_prefix(9);
  if (rest.empty() || rest.front() != '/') return {};  // a file on another host
  auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string path;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '?' || rest[i] == '#') return {};
    if (rest[i] != '%') {
      path += rest[i];
      continue;
    }
    const int high = i + 2 < rest.size() ? hex(rest[i + 1]) : -1;
    const int low = i + 2 < rest.size() ? hex(rest[i + 2]) : -1;
    // A broken escape or an encoded NUL names no file.
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return {};
    path += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return path;
}

std::string HandOverText(const std::vector<std::string>& positional,
                         std::string_view current_folder,
                         const std::function<bool(const std::string&)>& file_exists) {
  std::string text;
  for (const std::string& arg : positional) {
    if (!text.empty()) text += ' ';
    text += arg;
  }
  // The desktop hands a file to the menu entry (Exec=quillo %u) as a file:// URI.
  if (std::string path = LocalPathOfFileUri(text); !path.empty()) return path;
  if (text.empty() || text.front() == '/' || current_folder.empty()) return text;
  if (text::StartsWith(text::ToLowerAscii(text.substr(0, 9)), "quillo://")) return text;
  std::string absolute = std::string(current_folder);
  if (absolute.back() != '/') absolute += '/';
  absolute += text;
  return file_exists(absolute) ? absolute : text;
}

std::string UsageText() {
  std::string usage;
  usage += "Usage: quillo [OPTION]... [FILE | quillo://add/...]\n";
  usage += std::string(kProductName) + " " + std::string(kProgramVersion) +
           ", the desktop music client.\n";
  usage +=
      "A music file or a quillo:// link is handed to the running instance when there is one.\n\n";
  usage += "  --data-dir DIR  keep the data file and named folders in DIR\n";
  usage += "                  (default: $QUILLO_DATA_DIR, else $XDG_DATA_HOME/sorvel/)\n";
  usage += "  --headless      run without the main window (also when no display is set)\n";
  usage += "  --quit          ask the running instance to end\n";
  usage += "  --version       print the version and exit\n";
  usage += "  --help          print this help and exit\n";
  return usage;
}

}  // namespace quillo::app
