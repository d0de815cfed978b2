#pragma once
// Encodes text that is placed inside a URL (a query value, a name in a path) the way the HTTP
// client encodes form values: ASCII letters and digits stay, a space becomes '+', every other
// byte of the UTF-8 text becomes '%' and two upper-case hexadecimal digits. Working on the UTF-8
// bytes keeps characters outside the Basic Multilingual Plane whole. Pure function; any thread.
#include <string>
#include <string_view>

namespace quillo::service {

std::string UrlEncode(std::string_view utf8);

}  // namespace quillo::service
