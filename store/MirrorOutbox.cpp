#include "store/MirrorOutbox.h"

#include <tinyxml.h>

#include <algorithm>

#include "store/DocumentStore.h"

namespace quillo::store {
namespace {

constexpr const char* kOutboxElement = "outbox";
constexpr const char* kRequestElement = "request";
constexpr const char* kParamElement = "param";

std::uint64_t IdOf(const TiXmlElement* element, const char* attribute = "id") {
  const std::string text = DocumentStore::GetTextOr(element, attribute);
  std::uint64_t id = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    id = id * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return id;
}

MirrorOutbox::Entry EntryOf(const TiXmlElement* element) {
  MirrorOutbox::Entry entry;
  entry.id = IdOf(element);
  entry.user_id = DocumentStore::GetTextOr(element, "user");
  entry.path = DocumentStore::GetTextOr(element, "path");
  entry.tries = DocumentStore::GetInt(element, "tries").value_or(0);
  for (const TiXmlElement* param = element->FirstChildElement(kParamElement); param;
       param = param->NextSiblingElement(kParamElement)) {
    entry.params.emplace_back(DocumentStore::GetTextOr(param, "name"),
                              DocumentStore::GetTextOr(param, "value"));
  }
  return entry;
}

// The requests in document order; an entry without an id or a path (a damaged file) is skipped.
std::vector<TiXmlElement*> Requests(DocumentStore& store) {
  std::vector<TiXmlElement*> requests;
  TiXmlElement* outbox = store.Resolve(std::string(kOutboxElement) + "#", false);
  for (TiXmlElement* child : DocumentStore::Children(outbox)) {
    if (child->ValueStr() == kRequestElement && IdOf(child) != 0 &&
        !DocumentStore::GetTextOr(child, "path").empty()) {
      requests.push_back(child);
    }
  }
  return requests;
}

}  // namespace

std::uint64_t MirrorOutbox::Add(const std::string& user_id, const std::string& path,
                                const std::vector<std::pair<std::string, std::string>>& params) {
  auto lock = store_.Lock();
  TiXmlElement* outbox = store_.Resolve(std::string(kOutboxElement) + "#", true);
  if (outbox == nullptr) return 0;
  // Ids are never given twice: the next one is kept on the outbox itself, so that an id does
  // not come back after the newest entry was sent.
  std::uint64_t id = std::max<std::uint64_t>(1, IdOf(outbox, "next"));
  for (const TiXmlElement* request : Requests(store_)) id = std::max(id, IdOf(request) + 1);
  store_.SetText(outbox, "next", std::to_string(id + 1));
  TiXmlElement* added = outbox->InsertEndChild(TiXmlElement(kRequestElement))->ToElement();
  store_.SetText(added, "id", std::to_string(id));
  store_.SetText(added, "user", user_id);
  store_.SetText(added, "path", path);
  store_.SetInt(added, "tries", 0);
  for (const auto& [name, value] : params) {
    TiXmlElement* param = added->InsertEndChild(TiXmlElement(kParamElement))->ToElement();
    store_.SetText(param, "name", name);
    store_.SetText(param, "value", value);
  }
  return id;
}

std::vector<MirrorOutbox::Entry> MirrorOutbox::Entries() const {
  auto lock = store_.Lock();
  std::vector<Entry> entries;
  for (const TiXmlElement* request : Requests(store_)) entries.push_back(EntryOf(request));
  return entries;
}

std::optional<MirrorOutbox::Entry> MirrorOutbox::FirstOf(const std::string& user_id) const {
  auto lock = store_.Lock();
  for (const TiXmlElement* request : Requests(store_)) {
    if (DocumentStore::GetTextOr(request, "user") == user_id) return EntryOf(request);
  }
  return std::nullopt;
}

bool MirrorOutbox::Remove(std::uint64_t id) {
  auto lock = store_.Lock();
  for (TiXmlElement* request : Requests(store_)) {
    if (IdOf(request) == id) {
      store_.RemoveElement(request);
      return true;
    }
  }
  return false;
}

int MirrorOutbox::CountTry(std::uint64_t id) {
  auto lock = store_.Lock();
  for (TiXmlElement* request : Requests(store_)) {
    if (IdOf(request) != id) continue;
    const int tries = DocumentStore::GetInt(request, "tries").value_or(0) + 1;
    store_.SetInt(request, "tries", tries);
    return tries;
  }
  return 0;
}

bool MirrorOutbox::empty() const { return size() == 0; }

std::size_t MirrorOutbox::size() const {
  auto lock = store_.Lock();
  return Requests(store_).size();
}

}  // namespace quillo::store
