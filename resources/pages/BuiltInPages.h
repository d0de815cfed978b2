#pragma once
// The pages the program ships inside itself (the component download page, the upload page and
// their scripts, styles and pictures), addressed by their relative name as the pages link them:
// "downloaddlg.html", "common.js", "img/wnd-bk.png". Any thread; the bytes live for the whole
// run.
#include <optional>
#include <string_view>

namespace quillo::resources {

struct BuiltInPage {
  std::string_view bytes;
  std::string_view mime_type;  // "text/html; charset=utf-8", "text/css", "image/png" …
};

// The resource of that name; no value for unknown names, names with "..", a leading '/', a
// backslash or a NUL.
std::optional<BuiltInPage> FindBuiltInPage(std::string_view name);

}  // namespace quillo::resources
