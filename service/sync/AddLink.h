#pragma once
// The text of a "quillo://add/" link: after the prefix, %XX escapes decode to UTF-8 bytes, then
// a comma-separated list of music ids, optionally followed by ':' and a list name.
//
// Links come from web pages and other programs, so the parser trusts nothing: a bad escape,
// text that is not UTF-8, a list name with control characters, or an id that is not a service music
// id (letters and digits only) makes the whole link malformed. Pure; any thread.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::service {

struct AddLink {
  static constexpr std::string_view kPrefix = "quillo://add/";

  // In link order; may be empty (a link naming no song).
  std::vector<std::string> music_ids;
  // The list name after ':' (trimmed); no value without ':' or when nothing follows it.
  std::optional<std::string> list_name;

  bool operator==(const AddLink&) const = default;
};

// No value for a malformed link. The prefix is compared without regard to ASCII case; empty
// ids (",,") and spaces around ids are skipped, and one trailing '/' (as browsers add) is
// ignored when no list name is given.
std::optional<AddLink> ParseAddLink(std::string_view link);

// Decodes %XX escapes (either case); no value when a '%' is not followed by two hexadecimal
// digits. Other bytes, '+' included, stay as they are.
std::optional<std::string> DecodePercentEscapes(std::string_view text);

}  // namespace quillo::service
