#include "store/Migration.h"

#include "platform/text/TextUtil.h"
#include "store/DocConverterImpl1_2_11.h"
#include "store/DocumentStore.h"

namespace quillo::store {

long long VersionNumber(std::string_view version) {
  long long parts[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    std::size_t dot = version.find('.');
    std::string_view part = version.substr(0, dot);
    // Leading digits only; a sign or spaces do not belong to a version.
    long long value = 0;
    for (char c : part) {
      if (c < '0' || c > '9') break;
      if (value < 1000000) value = value * 10 + (c - '0');
    }
    parts[i] = value;
    if (dot == std::string_view::npos) break;
    version.remove_prefix(dot + 1);
  }
  return parts[0] * 1000000 + parts[1] * 1000 + parts[2];
}

namespace {
long long DocumentVersion(const TiXmlElement& root) {
  const std::string* version = root.Attribute(std::string("version"));
  return version ? VersionNumber(*version) : 0;
}
}  // namespace

bool MigrationApplies(const TiXmlDocument& document) {
  const TiXmlElement* root = document.RootElement();
  return root != nullptr && DocConverterImpl1_2_11("").Applies(DocumentVersion(*root));
}

bool RunMigration(TiXmlDocument& document, const std::string& data_folder) {
  TiXmlElement* root = document.RootElement();
  if (root == nullptr) return false;
  DocConverterImpl1_2_11 converter(data_folder + "lyric/");
  if (!converter.Applies(DocumentVersion(*root))) return false;
  converter.Convert(document);
  root->SetAttribute("version", DocumentStore::kVersion);
  return true;
}

}  // namespace quillo::store
