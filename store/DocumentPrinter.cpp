#include "store/DocumentPrinter.h"

namespace quillo::store {
namespace {

void AppendIndent(std::string& out, int depth) { out.append(static_cast<std::size_t>(depth) * 4, ' '); }

bool HasOnlyElementChildren(const TiXmlElement& element) {
  for (const TiXmlNode* child = element.FirstChild(); child; child = child->NextSibling()) {
    if (child->Type() != TiXmlNode::TINYXML_ELEMENT) return false;
  }
  return true;
}

void PrintNode(std::string& out, const TiXmlNode& node, int depth, const ChildPrinters& printers);

void PrintElement(std::string& out, const TiXmlElement& element, int depth,
                  const ChildPrinters& printers) {
  auto own_printer = printers.find(&element);
  const ChildPrinter* children =
      own_printer == printers.end() || !own_printer->second ? nullptr : &own_printer->second;
  if (children == nullptr && !HasOnlyElementChildren(element)) {
    // Text, comments and the like never occur in our own files; keep TinyXML's form for them.
    TiXmlPrinter printer;
    printer.SetIndent("    ");
    element.Accept(&printer);
    std::string text = printer.Str();
    std::string indent(static_cast<std::size_t>(depth) * 4, ' ');
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      out += indent;
      out.append(text, start, end - start);
      out += '\n';
      start = end + 1;
    }
    return;
  }
  AppendIndent(out, depth);
  out += '<';
  out += element.ValueStr();
  for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute;
       attribute = attribute->Next()) {
    AppendAttribute(out, attribute->NameTStr(), attribute->ValueStr());
  }
  const std::size_t opened = out.size();
  out += ">\n";
  if (children) (*children)(out, depth + 1);
  if (out.size() == opened + 2 && element.FirstChild() == nullptr) {
    out.resize(opened);
    out += " />\n";
    return;
  }
  for (const TiXmlNode* child = element.FirstChild(); child; child = child->NextSibling()) {
    PrintNode(out, *child, depth + 1, printers);
  }
  AppendIndent(out, depth);
  out += "</";
  out += element.ValueStr();
  out += ">\n";
}

void PrintNode(std::string& out, const TiXmlNode& node, int depth, const ChildPrinters& printers) {
  if (const TiXmlElement* element = node.ToElement()) {
    PrintElement(out, *element, depth, printers);
    return;
  }
  TiXmlPrinter printer;
  printer.SetIndent("    ");
  node.Accept(&printer);
  AppendIndent(out, depth);
  out += printer.Str();
  if (out.empty() || out.back() != '\n') out += '\n';
}

}  // namespace

void AppendAttribute(std::string& out, std::string_view name, const std::string& value) {
  out += ' ';
  out += name;
  out += "=\"";
  AppendEscaped(out, value);
  out += '"';
}

void AppendEscaped(std::string& out, const std::string& value) {
  static const char kHex[] = "0123456789ABCDEF";
  for (char c : value) {
    auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        if (byte == 0) break;  // no XML form exists for NUL; it cannot be stored
        if (byte < 32) {
          out += "&#x";
          out += kHex[byte >> 4];
          out += kHex[byte & 0xF];
          out += ';';
        } else {
          out += c;
        }
    }
  }
}

std::string PrintDocumentText(const TiXmlDocument& document, const ChildPrinters& printers) {
  std::string out;
  out.reserve(1 << 16);
  for (const TiXmlNode* node = document.FirstChild(); node; node = node->NextSibling()) {
    PrintNode(out, *node, 0, printers);
  }
  return out;
}

}  // namespace quillo::store
