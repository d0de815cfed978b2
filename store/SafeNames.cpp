#include "store/SafeNames.h"

#include "platform/crypto/Crypto.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"

namespace quillo::store {
namespace {

std::string AttributeOr(const MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
std::string CutUtf8(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

}  // namespace

bool IsLocalId(std::string_view music_id) {
  return music_id.find_first_of("_-") != std::string_view::npos;
}

bool IsHexId32(std::string_view id) {
  if (id.size() != 32) return false;
  for (char c : id) {
    bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!hex) return false;
  }
  return true;
}

std::string LocalMusicId(std::string_view path) {
  return "ex-" + crypto::Md5Hex(text::Utf8ToGbk(text::ToLowerAscii(path)));
}

std::string SafeFileName(std::string_view name) {
  std::string safe(name);
  for (char& c : safe) {
    switch (c) {
      case '\\': case '\n': case '\r': case '?': case '*': case '|':
      case '"': case '<': case '>': case ':': case '/':
        c = '_';
        break;
      default:
        break;
    }
  }
  safe = text::Trim(CutUtf8(text::Trim(safe), kMaxNameBytes));
  if (safe.empty() || safe == "." || safe == "..") return "_";
  return safe;
}

std::string MusicFileName(const MusicRecord& record, std::string_view extension,
                          std::string_view music_folder) {
  std::string artist = text::Trim(AttributeOr(record, "artist_name"));
  std::string album = text::Trim(AttributeOr(record, "album_name"));
  std::string artist_folder = SafeFileName(artist.empty() ? "未知歌手" : artist);
  std::string album_folder = SafeFileName(album.empty() ? "未知专辑" : album);
  std::string title = SafeFileName(AttributeOr(record, "name"));
  if (!music_folder.empty()) {
    // One call creates the music folder, the artist folder and the album folder.
    fs::CreateFolders(fs::JoinPath(fs::JoinPath(music_folder, artist_folder), album_folder));
  }
  return artist_folder + "/" + album_folder + "/" + title + std::string(extension);
}

std::string FileExtension(std::string_view path) {
  std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  return std::string(path.substr(dot));
}

}  // namespace quillo::store
