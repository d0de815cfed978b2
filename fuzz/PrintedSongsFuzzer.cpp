// The data file's songs and lists' items read without the XML parser: a text must open the same
// whether they are read ahead or not. It parses exactly when the XML parser parses it whole, the
// songs read ahead are the `file` elements the XML parser finds in "folders#folder:music#", and
// with the songs and items put back the document is the one the XML parser reads.
#include <tinyxml.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "store/DataFileText.h"
#include "store/DocumentStore.h"
#include "store/PrintedSongs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillo::fuzz::FuzzInput input(data, size);
  std::string text = input.Rest();
  text = text.substr(0, text.find('\0'));

  TiXmlDocument read_ahead;
  quillo::store::ReadAhead taken;
  const bool parsed =
      quillo::store::ParseDataFileText(read_ahead, text, {.songs = true, .items = true}, taken);
  const std::vector<quillo::store::MusicRecord>& songs = taken.songs;
  TiXmlDocument whole;
  whole.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
  FUZZ_CHECK(parsed == (!whole.Error() && whole.RootElement() != nullptr));
  if (!parsed) return 0;
  for (const quillo::store::ListItemsReadAhead& list : taken.lists) {
    FUZZ_CHECK(list.playlist != nullptr && list.playlist->FirstChild() == nullptr && !list.ids.empty());
    for (const std::string& id : list.ids) {
      TiXmlElement item("item");
      item.SetAttribute("id", id);
      list.playlist->InsertEndChild(item);
    }
  }
  if (songs.empty()) {
    TiXmlPrinter with_items, expected;
    read_ahead.Accept(&with_items);
    whole.Accept(&expected);
    FUZZ_CHECK(with_items.Str() == expected.Str());
    return 0;
  }

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
