#include "service-stub/XmlWriter.h"

namespace quillo::stub {

std::string XmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      case '\t': out += "&#x9;"; break;
      case '\n': out += "&#xA;"; break;
      case '\r': out += "&#xD;"; break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20) out.push_back(c);
        break;
    }
  }
  return out;
}

XmlElement& XmlElement::Set(std::string_view attribute, std::string_view value) {
  for (auto& [name, existing] : attributes_) {
    if (name == attribute) {
      existing = std::string(value);
      return *this;
    }
  }
  attributes_.emplace_back(std::string(attribute), std::string(value));
  return *this;
}

XmlElement& XmlElement::Child(std::string name) {
  children_.emplace_back(std::move(name));
  return children_.back();
}

void XmlElement::Append(XmlElement child) { children_.push_back(std::move(child)); }

void XmlElement::PrintTo(std::string& out, int depth) const {
  out.append(static_cast<std::size_t>(depth) * 2, ' ');
  out += '<';
  out += name_;
  for (const auto& [name, value] : attributes_) {
    out += ' ';
    out += name;
    out += "=\"";
    out += XmlEscape(value);
    out += '"';
  }
  if (children_.empty()) {
    out += " />\n";
    return;
  }
  out += ">\n";
  for (const auto& child : children_) child.PrintTo(out, depth + 1);
  out.append(static_cast<std::size_t>(depth) * 2, ' ');
  out += "</";
  out += name_;
  out += ">\n";
}

std::string XmlElement::PrintDocument() const {
  std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
  PrintTo(out, 0);
  return out;
}

}  // namespace quillo::stub
