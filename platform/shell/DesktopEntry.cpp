#include "platform/shell/DesktopEntry.h"

#include "platform/text/TextUtil.h"

namespace quillo::shell {

void DesktopEntry::Set(std::string_view key, std::string_view value) {
  for (auto& [existing_key, existing_value] : entries_) {
    if (existing_key == key) {
      existing_value = value;
      return;
    }
  }
  entries_.emplace_back(key, value);
}

std::optional<std::string> DesktopEntry::Get(std::string_view key) const {
  for (const auto& [existing_key, value] : entries_) {
    if (existing_key == key) return value;
  }
  return std::nullopt;
}

bool DesktopEntry::GetBool(std::string_view key, bool fallback) const {
  std::optional<std::string> value = Get(key);
  if (!value) return fallback;
  if (*value == "true") return true;
  if (*value == "false") return false;
  return fallback;
}

std::string DesktopEntry::Text() const {
  std::string text(kGroup);
  text += '\n';
  for (const auto& [key, value] : entries_) {
    text += key;
    text += '=';
    text += EscapeValue(value);
    text += '\n';
  }
  return text;
}

DesktopEntry DesktopEntry::Parse(std::string_view text) {
  DesktopEntry entry;
  bool in_group = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = end + 1;
    std::string_view trimmed = text::TrimView(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    if (trimmed.front() == '[') {
      in_group = trimmed == kGroup;
      continue;
    }
    if (!in_group) continue;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view key = text::TrimView(line.substr(0, equals));
    if (key.empty()) continue;
    // Only the spaces around '=' belong to the syntax; "\s" keeps a leading space of the value.
    std::string_view value = line.substr(equals + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
      value.remove_prefix(1);
    // The first occurrence wins, as desktop readers do.
    if (!entry.Get(key)) entry.entries_.emplace_back(key, UnescapeValue(value));
  }
  return entry;
}

std::string DesktopEntry::ExecLine(std::string_view program, std::string_view tail) {
  std::string line = "\"";
  for (char c : program) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') line += '\\';
    if (c == '%') line += '%';
    line += c;
  }
  line += '"';
  if (!tail.empty()) {
    line += ' ';
    line += tail;
  }
  return line;
}

std::string DesktopEntry::ExecProgram(std::string_view exec) {
  std::string program;
  std::size_t i = 0;
  if (!exec.empty() && exec.front() == '"') {
    for (i = 1; i < exec.size() && exec[i] != '"'; ++i) {
      if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
      program += exec[i];
    }
  } else {
    for (; i < exec.size() && exec[i] != ' '; ++i) program += exec[i];
  }
  // Field-code escaping applies to the whole value, quoted or not.
  std::string unescaped;
  for (std::size_t j = 0; j < program.size(); ++j) {
    unescaped += program[j];
    if (program[j] == '%' && j + 1 < program.size() && program[j + 1] == '%') ++j;
  }
  return unescaped;
}

std::string DesktopEntry::EscapeValue(std::string_view value) {
  std::string escaped;
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case ' ':
        escaped += i == 0 ? "\\s" : " ";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string DesktopEntry::UnescapeValue(std::string_view value) {
  std::string plain;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      plain += value[i];
      continue;
    }
    char next = value[++i];
    switch (next) {
      case 's':
        plain += ' ';
        break;
      case 'n':
        plain += '\n';
        break;
      case 't':
        plain += '\t';
        break;
      case 'r':
        plain += '\r';
        break;
      case '\\':
        plain += '\\';
        break;
      default:
        // Not a string escape (Exec keeps its own "\"" and "\$"): leave both characters.
        plain += '\\';
        plain += next;
    }
  }
  return plain;
}

}  // namespace quillo::shell
