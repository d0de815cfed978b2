#pragma once
// The text of a freedesktop.org desktop entry (the "[Desktop Entry]" group only), as the URL
// handler and the autostart entry need it. Building is exact: keys are written in the order they
// were set and values are escaped as the format requires. Reading accepts any bytes and never
// fails; what is not understood is ignored.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillo::shell {

class DesktopEntry {
 public:
  static constexpr std::string_view kGroup = "[Desktop Entry]";

  // Sets a string value (escaped on output: "\\", "\n", "\t", "\r" and a leading space).
  // Setting a key again replaces its value in place.
  void Set(std::string_view key, std::string_view value);
  // The unescaped value, or none when the key is absent.
  std::optional<std::string> Get(std::string_view key) const;
  // True when the key holds "true" (the format's boolean).
  bool GetBool(std::string_view key, bool fallback) const;

  // The whole file: the group header, one "key=value" line per key, a final line end.
  std::string Text() const;
  // Reads the keys of the "[Desktop Entry]" group; comments, other groups and malformed lines
  // are skipped. Localised keys ("Name[zh_CN]") are kept under their full name.
  static DesktopEntry Parse(std::string_view text);

  // The Exec value for a program and its fixed tail: the program quoted by the Exec rules
  // ('"', '`', '$' and '\' escaped inside the quotes, '%' doubled), then a space and the tail
  // unchanged when the tail is not empty (it may hold field codes such as "%u").
  static std::string ExecLine(std::string_view program, std::string_view tail);
  // The first argument of an Exec value with its quoting undone (what ExecLine wrote).
  static std::string ExecProgram(std::string_view exec);

  static std::string EscapeValue(std::string_view value);
  static std::string UnescapeValue(std::string_view value);

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

}  // namespace quillo::shell
