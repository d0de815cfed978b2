// The '#'-path language and the element building blocks of the document store.
#include <cstring>

#include "platform/text/TextUtil.h"
#include "store/DocumentStore.h"

namespace quillo::store {
namespace {

struct Step {
  std::string_view element;
  std::string_view attribute;  // empty: the element alone
  std::string_view value;
};

Step ParseStep(std::string_view text) {
  Step step;
  std::size_t first = text.find(':');
  if (first == std::string_view::npos) {
    step.element = text;
    return step;
  }
  step.element = text.substr(0, first);
  std::string_view rest = text.substr(first + 1);
  std::size_t second = rest.find(':');
  if (second == std::string_view::npos) {
    step.attribute = "name";
    step.value = rest;
  } else {
    step.attribute = rest.substr(0, second);
    step.value = rest.substr(second + 1);
  }
  return step;
}

bool AttributeEquals(const TiXmlElement* element, std::string_view attribute, std::string_view value) {
  for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
    if (a->NameTStr() == attribute) return a->ValueStr() == value;
  }
  return false;
}

}  // namespace

TiXmlElement* DocumentStore::Root() { return document_.RootElement(); }

TiXmlElement* DocumentStore::ResolveStep(TiXmlElement* element, std::string_view text, bool create,
                                         bool* created) {
  if (element == nullptr) return nullptr;
  Step step = ParseStep(text);
  for (TiXmlElement* child = element->FirstChildElement(); child;
       child = child->NextSiblingElement()) {
    if (child->ValueStr() != step.element) continue;
    if (step.attribute.empty() || AttributeEquals(child, step.attribute, step.value)) return child;
  }
  if (!create) return nullptr;
  if (!IsXmlName(step.element) || (!step.attribute.empty() && !IsXmlName(step.attribute))) {
    return nullptr;
  }
  TiXmlElement fresh{std::string(step.element)};
  if (!step.attribute.empty()) {
    fresh.SetAttribute(std::string(step.attribute), std::string(step.value));
  }
  TiXmlNode* inserted = element->InsertEndChild(fresh);
  if (created) *created = true;
  MarkDirty();
  return inserted ? inserted->ToElement() : nullptr;
}

TiXmlElement* DocumentStore::Resolve(std::string_view path, bool create, bool* created) {
  if (created) *created = false;
  TiXmlElement* element = Root();
  if (element == nullptr) return nullptr;
  std::size_t start = 0;
  for (;;) {
    std::size_t hash = path.find('#', start);
    if (hash == std::string_view::npos) return element;  // text after the last '#' is ignored
    std::string_view step = path.substr(start, hash - start);
    if (step.empty()) return element;
    element = ResolveStep(element, step, create, created);
    if (element == nullptr) return nullptr;
    start = hash + 1;
  }
}

TiXmlElement* DocumentStore::FindChild(TiXmlElement* parent, std::string_view element_name,
                                       std::string_view attribute, std::string_view value,
                                       bool create) {
  if (parent == nullptr) return nullptr;
  for (TiXmlElement* child = parent->FirstChildElement(); child;
       child = child->NextSiblingElement()) {
    if (child->ValueStr() == element_name && AttributeEquals(child, attribute, value)) return child;
  }
  if (!create || !IsXmlName(element_name) || !IsXmlName(attribute)) return nullptr;
  TiXmlElement fresh{std::string(element_name)};
  fresh.SetAttribute(std::string(attribute), std::string(value));
  TiXmlNode* inserted = parent->InsertEndChild(fresh);
  MarkDirty();
  return inserted ? inserted->ToElement() : nullptr;
}

std::optional<std::string> DocumentStore::GetText(const TiXmlElement* element,
                                                  const char* attribute) {
  if (element == nullptr) return std::nullopt;
  const std::string* value = element->Attribute(std::string(attribute));
  if (value == nullptr) return std::nullopt;
  return *value;
}

std::string DocumentStore::GetTextOr(const TiXmlElement* element, const char* attribute,
                                     std::string_view fallback) {
  std::optional<std::string> value = GetText(element, attribute);
  return value ? *value : std::string(fallback);
}

void DocumentStore::SetText(TiXmlElement* element, const char* attribute, std::string_view text) {
  if (element == nullptr || !IsXmlName(attribute)) return;
  // Writing the text an attribute already holds changes nothing: the file is not saved again
  // for it (every start writes its window geometry and mode, mostly unchanged).
  if (const std::string* current = element->Attribute(std::string(attribute));
      current != nullptr && *current == text) {
    return;
  }
  element->SetAttribute(std::string(attribute), std::string(text));
  MarkDirty();
}

void DocumentStore::SetInt(TiXmlElement* element, const char* attribute, int value) {
  SetText(element, attribute, std::to_string(value));
}

std::optional<int> DocumentStore::GetInt(const TiXmlElement* element, const char* attribute) {
  std::optional<std::string> text = GetText(element, attribute);
  if (!text) return std::nullopt;
  return text::LeadingNumber(*text);
}

void DocumentStore::RemoveAttribute(TiXmlElement* element, const char* attribute) {
  if (element == nullptr || element->Attribute(attribute) == nullptr) return;
  element->RemoveAttribute(attribute);
  MarkDirty();
}

void DocumentStore::AddRemovalObserver(RemovalObserver observer) {
  LockGuard lock = Lock();
  removal_observers_.push_back(std::move(observer));
}

// Element and attribute names we create must print as well-formed XML, whatever a caller puts
// into a path.
bool DocumentStore::IsXmlName(std::string_view name) {
  if (name.empty()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
    if (!(letter || (i > 0 && other))) return false;
  }
  return true;
}

std::unique_ptr<TiXmlElement> DocumentStore::SongElement(const MusicRecord& record) {
  auto element = std::make_unique<TiXmlElement>("file");
  element->SetAttribute("id", IdOf(record));
  for (const auto& [name, value] : record) {
    if (IsStoredAfterId(name)) element->SetAttribute(name, value);
  }
  return element;
}

void DocumentStore::PutSongElementsFirst(TiXmlElement& folder,
                                         const std::vector<const MusicRecord*>& songs) {
  TiXmlNode* first_other = folder.FirstChild();
  for (const MusicRecord* record : songs) {
    std::unique_ptr<TiXmlElement> element = SongElement(*record);
    if (first_other != nullptr) {
      folder.InsertBeforeChild(first_other, *element);
    } else {
      folder.LinkEndChild(element.release());
    }
  }
}

void DocumentStore::PutItemElementsFirst(TiXmlElement& playlist, const std::vector<std::string>& ids) {
  TiXmlNode* first_other = playlist.FirstChild();
  for (const std::string& id : ids) {
    auto item = std::make_unique<TiXmlElement>("item");
    item->SetAttribute("id", id);
    if (first_other != nullptr) {
      playlist.InsertBeforeChild(first_other, *item);
    } else {
      playlist.LinkEndChild(item.release());
    }
  }
}

void DocumentStore::SetChildPrinter(const TiXmlElement* element, ChildPrinter printer) {
  if (element == nullptr) return;
  if (printer) {
    child_printers_[element] = std::move(printer);
  } else {
    child_printers_.erase(element);
  }
}

void DocumentStore::RemoveElement(TiXmlElement* element) {
  if (element == nullptr || element->Parent() == nullptr) return;
  for (const RemovalObserver& observer : removal_observers_) observer(*element);
  // A printer of the element or of one inside it would name freed memory.
  for (auto it = child_printers_.begin(); it != child_printers_.end();) {
    const TiXmlNode* node = it->first;
    while (node != nullptr && node != element) node = node->Parent();
    it = node == element ? child_printers_.erase(it) : std::next(it);
  }
  element->Parent()->RemoveChild(element);
  MarkDirty();
}

std::vector<TiXmlElement*> DocumentStore::Children(TiXmlElement* element) {
  std::vector<TiXmlElement*> children;
  if (element == nullptr) return children;
  for (TiXmlElement* child = element->FirstChildElement(); child;
       child = child->NextSiblingElement()) {
    children.push_back(child);
  }
  return children;
}

TiXmlElement* DocumentStore::InsertCopyBefore(TiXmlElement* sibling, const TiXmlElement& source) {
  if (sibling == nullptr || sibling->Parent() == nullptr) return nullptr;
  TiXmlNode* inserted = sibling->Parent()->InsertBeforeChild(sibling, source);
  MarkDirty();
  return inserted ? inserted->ToElement() : nullptr;
}

TiXmlElement* DocumentStore::InsertCopyAfter(TiXmlElement* sibling, const TiXmlElement& source) {
  if (sibling == nullptr || sibling->Parent() == nullptr) return nullptr;
  TiXmlNode* inserted = sibling->Parent()->InsertAfterChild(sibling, source);
  MarkDirty();
  return inserted ? inserted->ToElement() : nullptr;
}

MusicRecord DocumentStore::ReadAllAttributes(const TiXmlElement* element) {
  MusicRecord record;
  if (element == nullptr) return record;
  for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
    record.emplace(a->NameTStr(), a->ValueStr());
  }
  return record;
}

}  // namespace quillo::store
