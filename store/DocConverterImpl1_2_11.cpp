#include "store/DocConverterImpl1_2_11.h"

#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"
#include "store/Migration.h"
#include "store/StoredPath.h"

namespace quillo::store {

DocConverterImpl1_2_11::DocConverterImpl1_2_11(std::string lyric_folder)
    : version_number_(VersionNumber("1.2.11")), lyric_folder_(std::move(lyric_folder)) {}

bool DocConverterImpl1_2_11::Applies(long long version_number) const {
  return version_number < version_number_;
}

void DocConverterImpl1_2_11::Convert(TiXmlDocument& document) {
  TiXmlElement* root = document.RootElement();
  if (root == nullptr) return;
  for (TiXmlElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement()) {
    ConvertElement(*child);
  }
}

// Depth first in document order: an element's own attributes before its children.
void DocConverterImpl1_2_11::ConvertElement(TiXmlElement& element) {
  for (TiXmlAttribute* attribute = element.FirstAttribute(); attribute; attribute = attribute->Next()) {
    attribute->SetValue(text::GbkToUtf8(attribute->ValueStr()));
  }
  if (const std::string* lyric = element.Attribute(std::string("lyric_file")); lyric && !lyric->empty()) {
    ConvertLyricFile(ResolveStoredPath(lyric_folder_, *lyric));
  }
  for (TiXmlElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement()) {
    ConvertElement(*child);
  }
}

bool DocConverterImpl1_2_11::ConvertLyricFile(const std::string& path) {
  std::optional<std::string> bytes = fs::ReadWholeFile(path);
  if (!bytes) return false;
  if (text::StartsWith(*bytes, "\xEF\xBB\xBF") || text::StartsWith(*bytes, "\xFF\xFE") ||
      text::StartsWith(*bytes, "\xFE\xFF")) {
    return false;
  }
  if (text::IsAscii(*bytes) || text::IsValidUtf8(*bytes)) return false;
  return fs::WriteFileAtomic(path, text::GbkToUtf8(*bytes));
}

}  // namespace quillo::store
