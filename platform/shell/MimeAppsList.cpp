#include "platform/shell/MimeAppsList.h"

#include "platform/text/TextUtil.h"

namespace quillo::shell {
namespace {

std::vector<std::string> SplitIds(std::string_view value) {
  std::vector<std::string> ids;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(';', start);
    if (end == std::string_view::npos) end = value.size();
    std::string_view id = text::TrimView(value.substr(start, end - start));
    if (!id.empty()) ids.emplace_back(id);
    start = end + 1;
  }
  return ids;
}

std::string JoinIds(const std::vector<std::string>& ids) {
  std::string value;
  for (const std::string& id : ids) value += id + ';';
  return value;
}

bool IsGroupHeader(std::string_view line) {
  std::string_view trimmed = text::TrimView(line);
  return !trimmed.empty() && trimmed.front() == '[';
}

}  // namespace

MimeAppsList::MimeAppsList(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines_.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

int MimeAppsList::FindKey(std::string_view mime_type, int* group_end) const {
  *group_end = -1;
  bool in_group = false;
  int found = -1;
  for (int i = 0; i < static_cast<int>(lines_.size()); ++i) {
    std::string_view line = lines_[i];
    if (IsGroupHeader(line)) {
      in_group = text::TrimView(line) == kDefaultGroup;
      if (in_group) *group_end = i + 1;
      continue;
    }
    if (!in_group) continue;
    std::string_view trimmed = text::TrimView(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    *group_end = i + 1;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (found < 0 && text::TrimView(line.substr(0, equals)) == mime_type) found = i;
  }
  return found;
}

std::vector<std::string> MimeAppsList::DefaultsFor(std::string_view mime_type) const {
  int group_end = -1;
  int index = FindKey(mime_type, &group_end);
  if (index < 0) return {};
  const std::string& line = lines_[index];
  return SplitIds(std::string_view(line).substr(line.find('=') + 1));
}

void MimeAppsList::SetDefault(std::string_view mime_type, std::string_view desktop_id) {
  int group_end = -1;
  int index = FindKey(mime_type, &group_end);
  std::vector<std::string> ids{std::string(desktop_id)};
  if (index >= 0) {
    for (std::string& id : DefaultsFor(mime_type)) {
      if (id != desktop_id) ids.push_back(std::move(id));
    }
    lines_[index] = std::string(mime_type) + '=' + JoinIds(ids);
    return;
  }
  std::string line = std::string(mime_type) + '=' + JoinIds(ids);
  if (group_end < 0) {
    if (!lines_.empty() && !text::TrimView(lines_.back()).empty()) lines_.emplace_back();
    lines_.emplace_back(kDefaultGroup);
    lines_.push_back(std::move(line));
    return;
  }
  lines_.insert(lines_.begin() + group_end, std::move(line));
}

bool MimeAppsList::RemoveDefault(std::string_view mime_type, std::string_view desktop_id) {
  int group_end = -1;
  int index = FindKey(mime_type, &group_end);
  if (index < 0) return false;
  std::vector<std::string> ids = DefaultsFor(mime_type);
  std::vector<std::string> kept;
  for (std::string& id : ids) {
    if (id != desktop_id) kept.push_back(std::move(id));
  }
  if (kept.size() == ids.size()) return false;
  if (kept.empty()) {
    lines_.erase(lines_.begin() + index);
  } else {
    lines_[index] = std::string(mime_type) + '=' + JoinIds(kept);
  }
  return true;
}

std::string MimeAppsList::Text() const {
  std::string text;
  for (const std::string& line : lines_) text += line + '\n';
  return text;
}

}  // namespace quillo::shell
