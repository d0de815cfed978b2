#include "store/ListDocument.h"

#include <tinyxml.h>

#include "platform/text/TextCodec.h"
#include "store/MusicLibrary.h"
#include "store/ServiceXml.h"

namespace quillo::store {

const ServiceAttribute kServiceAttributes[7] = {
    {"music_id", "id"},         {"music_name", "name"},   {"album_id", "album_id"},
    {"album_name", "album_name"}, {"album_seq", "album_seq"}, {"artist_id", "artist_id"},
    {"artist_name", "artist_name"},
};

MusicRecord ServiceSongRecord(const TiXmlElement& song) {
  MusicRecord record;
  for (const ServiceAttribute& attribute : kServiceAttributes) {
    const std::string* value = song.Attribute(std::string(attribute.service));
    if (value && !value->empty()) record[attribute.record] = text::SanitizeUtf8(*value);
  }
  return record;
}

std::optional<ListDocument> ParseListDocument(std::string_view text) {
  TiXmlDocument document;
  ParseServiceXml(document, text);
  if (document.Error()) return std::nullopt;
  const TiXmlElement* root = document.RootElement();
  if (root == nullptr) return std::nullopt;
  ListDocument list;
  if (const std::string* pid = root->Attribute(std::string("pid"))) list.list_id = text::SanitizeUtf8(*pid);
  if (const std::string* pname = root->Attribute(std::string("pname"))) list.list_name = text::SanitizeUtf8(*pname);
  for (const TiXmlElement* song = root->FirstChildElement(); song; song = song->NextSiblingElement()) {
    if (song->Attribute(std::string("music_id")) == nullptr) return std::nullopt;
    MusicRecord record = ServiceSongRecord(*song);
    MusicLibrary::AddSearchKeys(record);
    list.records.push_back(std::move(record));
  }
  return list;
}

}  // namespace quillo::store
