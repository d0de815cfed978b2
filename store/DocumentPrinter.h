#pragma once
// Prints a TinyXML document in TinyXML's own layout (four-space indent, `<name a="v" />`), but
// fast enough for a library of 100,000 songs and with exact escaping: every '&', '<', '>', '"',
// '\'' and control character is written as an entity, so any stored text reads back unchanged.
#include <tinyxml.h>

#include <string>

namespace quillo::store {

std::string PrintDocumentText(const TiXmlDocument& document);

// Appends the attribute value escaped for a double-quoted XML attribute.
void AppendEscaped(std::string& out, const std::string& value);

}  // namespace quillo::store
