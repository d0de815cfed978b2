#pragma once
// The service's answer documents are XML in UTF-8, parsed with TinyXML in its UTF-8 mode. That
// mode steps over a whole multi-byte sequence from its lead byte without looking at the bytes it
// steps over, so a sequence cut short (a GBK byte before a quote, a lead byte at the end) makes it
// swallow the quote or walk past the end of the text. The text is therefore made well-formed
// UTF-8 first: each bad sequence becomes U+FFFD, which the attributes would have become anyway.
// Pure; any thread.
#include <string_view>

class TiXmlDocument;

namespace quillo::store {

// Parses `text` up to its first NUL (an answer is NUL-terminated text) into `document`.
void ParseServiceXml(TiXmlDocument& document, std::string_view text);

}  // namespace quillo::store
