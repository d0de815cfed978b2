#include "service/http/CHttpClientMapT.h"

#include <algorithm>

#include "service/http/httpclientexceptionW.h"

namespace Dravik {
namespace {

unsigned char Fold(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
}

}  // namespace

int CHttpClientMapT::CompareNames(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (Fold(a[i]) != Fold(b[i])) return Fold(a[i]) < Fold(b[i]) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void CHttpClientMapT::CheckName(const char* where, const char* name) {
  if (name == nullptr) ThrowArgumentError(where, "szName", "can not be NULL.");
  if (*name == '\0') ThrowArgumentError(where, "szName", "can not be an empty string.");
}

void CHttpClientMapT::Add(const char* name, const char* value, unsigned flags) {
  CheckName("CHttpClientMapT::Add", name);
  const auto after = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
    return CompareNames(entry.name, name) > 0;
  });
  Entry entry{name, std::nullopt, flags};
  if (value != nullptr) entry.value = value;
  entries_.insert(after, std::move(entry));
}

void CHttpClientMapT::Set(const char* name, const char* value, unsigned flags, std::size_t index) {
  CheckName("CHttpClientMapT::Set", name);
  std::size_t seen = 0;
  for (Entry& entry : entries_) {
    if (CompareNames(entry.name, name) != 0 || seen++ != index) continue;
    entry.value = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    entry.flags = flags;
    return;
  }
  if (seen != 0) throw httpclientexceptionW(kIndexOutOfRange);
  Add(name, value, flags);
}

const CHttpClientMapT::Entry* CHttpClientMapT::Find(std::string_view name,
                                                    std::size_t index) const {
  for (const Entry& entry : entries_) {
    if (CompareNames(entry.name, name) == 0 && index-- == 0) return &entry;
  }
  return nullptr;
}

const char* CHttpClientMapT::Get(std::string_view name, std::size_t index) const {
  const Entry* entry = Find(name, index);
  return entry != nullptr && entry->value ? entry->value->c_str() : nullptr;
}

bool CHttpClientMapT::Exists(std::string_view name, std::size_t index) const {
  return Find(name, index) != nullptr;
}

std::size_t CHttpClientMapT::Count(std::string_view name) const {
  return static_cast<std::size_t>(
      std::count_if(entries_.begin(), entries_.end(),
                    [&](const Entry& e) { return CompareNames(e.name, name) == 0; }));
}

void CHttpClientMapT::Remove(std::string_view name) {
  entries_.remove_if([&](const Entry& entry) { return CompareNames(entry.name, name) == 0; });
}

}  // namespace Dravik
