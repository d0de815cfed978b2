#include "store/ServiceAnswers.h"

#include <tinyxml.h>

#include <algorithm>
#include <set>
#include <unordered_set>

#include "platform/text/TextCodec.h"
#include "store/DocumentStore.h"
#include "store/ListDocument.h"
#include "store/MirrorOutbox.h"
#include "store/MusicLibrary.h"
#include "store/PlaylistIndex.h"
#include "store/Playlists.h"
#include "store/SafeNames.h"
#include "store/ServiceXml.h"

namespace quillo::store {
namespace {

// The first child element with the name, or with any name when name is nullptr.
const TiXmlElement* FirstChild(const TiXmlElement* parent, const char* name) {
  if (parent == nullptr) return nullptr;
  return name ? parent->FirstChildElement(name) : parent->FirstChildElement();
}

// "folders#folder:music#" inside the answer.
const TiXmlElement* AnswerMusicFolder(const TiXmlElement* root) {
  const TiXmlElement* folders = FirstChild(root, "folders");
  for (const TiXmlElement* folder = FirstChild(folders, "folder"); folder;
       folder = folder->NextSiblingElement("folder")) {
    const std::string* name = folder->Attribute(std::string("name"));
    if (name && *name == "music") return folder;
  }
  return nullptr;
}

std::string AttributeText(const TiXmlElement* element, const char* name) {
  const std::string* value = element ? element->Attribute(std::string(name)) : nullptr;
  return value ? text::SanitizeUtf8(*value) : std::string();
}

}  // namespace

ServiceAnswers::ServiceAnswers(DocumentStore& store, PlaylistIndex& lists, MusicLibrary& library,
                               Playlists& playlists, const MirrorOutbox* outbox)
    : store_(store), lists_(lists), library_(library), playlists_(playlists), outbox_(outbox) {}

std::optional<std::string> ServiceAnswers::AcceptedUser(std::string_view text) {
  TiXmlDocument answer;
  std::string terminated(text.substr(0, text.find('\0')));
  answer.Parse(terminated.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (answer.Error()) return std::nullopt;
  const TiXmlElement* root = answer.RootElement();
  if (root == nullptr || FirstChild(root, "error") != nullptr) return std::nullopt;
  const TiXmlElement* user = FirstChild(root, "user");
  if (user == nullptr || AnswerMusicFolder(root) == nullptr) return std::nullopt;
  return AttributeText(user, "id");
}

LoginAnswerResult ServiceAnswers::TakeLoginAnswer(std::string_view text, bool keep_unlisted) {
  TiXmlDocument answer;
  ParseServiceXml(answer, text);
  // A cut-short answer does not parse: it is refused as malformed rather than merged, because
  // whatever it lacks would be taken as removed from the library.
  if (answer.Error()) return {false, std::string(kWrongFormat)};
  const TiXmlElement* root = answer.RootElement();
  if (root == nullptr) return {false, std::string(kWrongFormat)};
  if (const TiXmlElement* error = FirstChild(root, "error")) return {false, AttributeText(error, "desc")};
  const TiXmlElement* user = FirstChild(root, "user");
  if (user == nullptr) return {false, std::string(kWrongFormat)};
  // Without the library folder the answer says nothing about the library; taking it as an empty
  // library would delete every song and its files. A present, empty folder is an empty library.
  const TiXmlElement* music_folder = AnswerMusicFolder(root);
  if (music_folder == nullptr) return {false, std::string(kWrongFormat)};

  auto lock = store_.Lock();
  const std::string user_id = AttributeText(user, "id");
  TiXmlElement* stored_user = lists_.UserElement(user_id, true);
  if (stored_user == nullptr) return {false, std::string(kWrongFormat)};
  for (const char* attribute : {"id", "username", "contextKey", "logo", "gender"}) {
    store_.SetText(stored_user, attribute, AttributeText(user, attribute));
  }
  playlists_.SetCurrentUser(user_id);
  const bool removes = !keep_unlisted && (outbox_ == nullptr || !outbox_->FirstOf(user_id));

  // The library: every answer song is in the library and in the default list.
  std::unordered_set<std::string> seen;
  TiXmlElement* default_list = lists_.PlaylistElement("", true);
  for (const TiXmlElement* song = FirstChild(music_folder, nullptr); song;
       song = song->NextSiblingElement()) {
    MusicRecord mapped = ServiceSongRecord(*song);
    if (song->Attribute(std::string("music_id")) == nullptr) continue;
    std::string id = AttributeText(song, "music_id");
    // Answer values reach the library as the service sent them; empty ones overwrite too.
    for (const ServiceAttribute& attribute : kServiceAttributes) {
      if (song->Attribute(std::string(attribute.service))) mapped[attribute.record] = AttributeText(song, attribute.service);
    }
    std::optional<MusicRecord> existing = library_.FindMusic(id);
    if (!existing) {
      library_.AddMusic(mapped, /*announce=*/false);
    } else {
      for (const auto& [name, value] : mapped) {
        auto old = existing->find(name);
        if (old == existing->end() || old->second != value) library_.SetMusicAttribute(id, name, value);
      }
      lists_.AppendItem(default_list, id);
    }
    seen.insert(id);
  }
  // Service songs the answer no longer lists leave the library.
  std::vector<std::string> gone;
  for (const MusicRecordPtr& record : library_.AllRecords()) {
    auto id = record->find("id");
    if (id != record->end() && !IsLocalId(id->second) && !seen.count(id->second)) gone.push_back(id->second);
  }
  if (removes) {
    for (const std::string& id : gone) library_.DeleteMusic(id);
  }

  // Playlists: user playlists the answer does not list go; the others are merged.
  const TiXmlElement* answer_lists = FirstChild(root, "playlists");
  std::set<std::string> listed;
  for (const TiXmlElement* list = FirstChild(answer_lists, nullptr); list; list = list->NextSiblingElement()) {
    std::string id = AttributeText(list, "playlistId");
    if (IsHexId32(id)) listed.insert(id);
  }
  lists_.PlaylistsElement(user_id, true);
  for (TiXmlElement* playlist : lists_.PlaylistsOf(user_id)) {
    std::string id = DocumentStore::GetTextOr(playlist, "id");
    if (removes && IsHexId32(id) && !listed.count(id)) lists_.RemovePlaylist(playlist);
  }
  for (const TiXmlElement* list = FirstChild(answer_lists, nullptr); list; list = list->NextSiblingElement()) {
    std::string id = AttributeText(list, "playlistId");
    // Only user playlists come from the service: an answer list without a proper id must not
    // be merged into the default list or "t_latest".
    if (!IsHexId32(id)) continue;
    TiXmlElement* stored = lists_.PlaylistElementOf(user_id, id, true);
    if (stored == nullptr) continue;
    if (list->Attribute(std::string("playlistName"))) {
      std::string name = AttributeText(list, "playlistName");
      if (DocumentStore::GetText(stored, "name") != std::optional<std::string>(name)) {
        store_.SetText(stored, "name", name);
      }
    }
    std::set<std::string> wanted;
    for (const TiXmlElement* item = list->FirstChildElement(); item; item = item->NextSiblingElement()) {
      if (item->Attribute(std::string("id"))) wanted.insert(AttributeText(item, "id"));
    }
    for (TiXmlElement* item : lists_.Items(stored)) {
      std::string item_id = DocumentStore::GetTextOr(item, "id");
      if (IsLocalId(item_id)) continue;
      if (wanted.erase(item_id) == 0 && removes) lists_.RemoveItem(stored, item);
    }
    // std::set orders the ids by their bytes.
    for (const std::string& item_id : wanted) lists_.AppendItem(stored, item_id);
  }
  store_.NotifyUserChanged(user_id);
  return {true, ""};
}

}  // namespace quillo::store
