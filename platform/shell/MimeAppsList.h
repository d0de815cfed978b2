#pragma once
// The user's "mimeapps.list" ($XDG_CONFIG_HOME/mimeapps.list), edited line by line so that
// everything the user or other programs wrote there survives byte for byte: only the one key of
// the "[Default Applications]" group that is changed is rewritten.
#include <string>
#include <string_view>
#include <vector>

namespace quillo::shell {

class MimeAppsList {
 public:
  static constexpr std::string_view kDefaultGroup = "[Default Applications]";

  explicit MimeAppsList(std::string_view text);

  // The desktop ids listed as default handlers of the type, in order (empty when none).
  std::vector<std::string> DefaultsFor(std::string_view mime_type) const;
  // Makes the id the first default of the type; other ids listed for it stay behind it as
  // fallbacks. Creates the group and the key when missing.
  void SetDefault(std::string_view mime_type, std::string_view desktop_id);
  // Removes the id from the type's defaults, and the key when no id is left. Other programs'
  // choices are left alone. Answers whether anything changed.
  bool RemoveDefault(std::string_view mime_type, std::string_view desktop_id);

  // The file's text; ends with a line end unless it is empty.
  std::string Text() const;

 private:
  // Index of the key's line inside the default group, or -1; group_end receives the index after
  // the group's last non-empty line (or -1 when the group is missing).
  int FindKey(std::string_view mime_type, int* group_end) const;

  std::vector<std::string> lines_;
};

}  // namespace quillo::shell
