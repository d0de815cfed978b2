// The data file's songs read without the XML parser: a text must open the same whether its
// songs are read ahead or not. It parses exactly when the XML parser parses it whole, and the
// songs read ahead are the `file` elements the XML parser finds in "folders#folder:music#".
#include <tinyxml.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "store/DocumentStore.h"
#include "store/PrintedSongs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillo::fuzz::FuzzInput input(data, size);
  std::string text = input.Rest();
  text = text.substr(0, text.find('\0'));

  TiXmlDocument read_ahead;
  std::vector<quillo::store::MusicRecord> songs;
  const bool parsed = quillo::store::ParseDataFileText(read_ahead, text, songs);
  TiXmlDocument whole;
  whole.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
  FUZZ_CHECK(parsed == (!whole.Error() && whole.RootElement() != nullptr));
  if (!parsed || songs.empty()) return 0;

  const TiXmlElement* folder = nullptr;
  const TiXmlElement* folders = whole.RootElement()->FirstChildElement("folders");
  for (const TiXmlElement* f = folders ? folders->FirstChildElement("folder") : nullptr; f;
       f = f->NextSiblingElement("folder")) {
    const std::string* name = f->Attribute(std::string("name"));
    if (name && *name == "music") {
      folder = f;
      break;
    }
  }
  FUZZ_CHECK(folder != nullptr);
  std::vector<quillo::store::MusicRecord> elements;
  for (const TiXmlNode* child = folder->FirstChild(); child; child = child->NextSibling()) {
    const TiXmlElement* file = child->ToElement();
    FUZZ_CHECK(file != nullptr && file->ValueStr() == "file");
    elements.push_back(quillo::store::DocumentStore::ReadAllAttributes(file));
  }
  FUZZ_CHECK(elements == songs);
  return 0;
}
