// The built-in pages these tests load, in place of the program's own bundle.
#include <map>
#include <string>

#include "resources/pages/BuiltInPages.h"

namespace quillo::resources {
namespace {

const std::map<std::string, BuiltInPage, std::less<>>& Pages() {
  static const std::map<std::string, BuiltInPage, std::less<>> pages{
      {"start.html",
       {"<!DOCTYPE html><html><head><link rel=\"stylesheet\" href=\"css/look.css\">"
        "<script src=\"js/start.js\"></script></head>"
        "<body><p id=\"text\">内置页面</p></body></html>",
        "text/html; charset=utf-8"}},
      {"css/look.css", {"#text { color: rgb(1, 2, 3); }", "text/css"}},
      {"js/start.js",
       {"window.scriptRan = 'yes';\n"
        "function report() {\n"
        "  var text = document.getElementById('text');\n"
        "  return [window.scriptRan, getComputedStyle(text).color, text.textContent,\n"
        "          typeof (window.external && window.external.GetConfig),\n"
        "          window.external.GetConfig('k', 'd')].join('|');\n"
        "}\n",
        "text/javascript"}},
  };
  return pages;
}

}  // namespace

std::optional<BuiltInPage> FindBuiltInPage(std::string_view name) {
  const auto& pages = Pages();
  auto it = pages.find(name);
  if (it == pages.end()) return std::nullopt;
  return it->second;
}

}  // namespace quillo::resources
