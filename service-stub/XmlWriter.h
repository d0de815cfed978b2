#pragma once
// A small XML element tree printed as UTF-8 text, for the answer documents. Attribute values
// are escaped; control characters that XML 1.0 cannot carry are dropped, so any stored text
// (a playlist name a client sent, say) prints as a well-formed document.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillo::stub {

class XmlElement {
 public:
  explicit XmlElement(std::string name) : name_(std::move(name)) {}

  // Attributes print in the order they were set; setting a name again replaces its value.
  XmlElement& Set(std::string_view attribute, std::string_view value);
  XmlElement& Child(std::string name);  // appends a child and returns it
  void Append(XmlElement child);

  const std::string& name() const { return name_; }
  const std::vector<XmlElement>& children() const { return children_; }

  // The document text: an XML declaration with encoding="utf-8", then the element.
  std::string PrintDocument() const;
  void PrintTo(std::string& out, int depth) const;

 private:
  std::string name_;
  std::vector<std::pair<std::string, std::string>> attributes_;
  std::vector<XmlElement> children_;
};

// Escaped attribute value (also fine for element text).
std::string XmlEscape(std::string_view text);

}  // namespace quillo::stub
