#include "store/ServiceXml.h"

#include <tinyxml.h>

#include <string>

#include "platform/text/TextCodec.h"

namespace quillo::store {

void ParseServiceXml(TiXmlDocument& document, std::string_view text) {
  const std::string terminated = text::SanitizeUtf8(text.substr(0, text.find('\0')));
  document.Parse(terminated.c_str(), nullptr, TIXML_ENCODING_UTF8);
}

}  // namespace quillo::store
