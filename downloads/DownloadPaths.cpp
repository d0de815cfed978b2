#include "downloads/DownloadPaths.h"

#include <array>
#include <fstream>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "store/SafeNames.h"
#include "store/StoredPath.h"

namespace quillo::downloads {
namespace {

constexpr std::string_view kUnknownArtist = "未知歌手";

std::string AttributeOf(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

bool HasPrefix(std::string_view head, std::string_view prefix) {
  return head.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string PartialPath(std::string_view download_folder, std::string_view kind,
                        std::string_view item_id) {
  return std::string(download_folder) +
         store::SafeFileName(std::string(kind) + "-" + std::string(item_id)) + ".part";
}

std::string LegacySongName(const store::MusicRecord& record, std::string_view extension) {
  std::string artist = text::Trim(AttributeOf(record, "artist_name"));
  return store::SafeFileName(artist.empty() ? std::string(kUnknownArtist) : artist) + "/" +
         store::SafeFileName(AttributeOf(record, "id") + "-" + AttributeOf(record, "name")) +
         std::string(extension);
}

std::string ArtistFolderNamed(std::string_view artist_name, const std::string& music_folder) {
  std::string artist = text::Trim(artist_name);
  return music_folder + store::SafeFileName(artist.empty() ? std::string(kUnknownArtist) : artist) +
         "/";
}

std::string ArtistFolderOf(const store::MusicRecord& record, const std::string& music_folder) {
  const std::string file_name = AttributeOf(record, "fileName");
  if (file_name.empty()) return ArtistFolderNamed(AttributeOf(record, "artist_name"), music_folder);
  const std::string copy = store::ResolveStoredPath(music_folder, file_name);
  if (copy.empty()) return {};
  const std::string folder = fs::ParentFolder(copy);
  if (folder.empty()) return {};
  std::string artist = text::Trim(AttributeOf(record, "artist_name"));
  const std::string safe_artist =
      store::SafeFileName(artist.empty() ? std::string(kUnknownArtist) : artist);
  if (fs::BaseName(folder.substr(0, folder.size() - 1)) == safe_artist) return folder;
  const std::string parent = fs::ParentFolder(folder.substr(0, folder.size() - 1));
  return parent.empty() ? folder : parent;
}

std::optional<std::string> FindPicture(const std::string& folder, std::string_view stem) {
  const std::string lower_stem = text::ToLowerAscii(stem) + ".";
  for (const std::string& name : fs::ListFolder(folder)) {
    const std::string lower = text::ToLowerAscii(name);
    if (!text::StartsWith(lower, lower_stem)) continue;
    const std::string extension = lower.substr(lower_stem.size() - 1);
    if (extension != ".jpg" && extension != ".jpeg" && extension != ".gif" && extension != ".png" &&
        extension != ".bmp") {
      continue;
    }
    if (fs::FileExists(folder + name)) return folder + name;
  }
  return std::nullopt;
}

std::string SongExtensionFromBytes(std::string_view head) {
  if (HasPrefix(head, "ID3")) return ".mp3";
  static constexpr std::array<unsigned char, 16> kAsfHeader = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66,
                                                               0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA,
                                                               0x00, 0x62, 0xCE, 0x6C};
  if (head.size() >= kAsfHeader.size() &&
      std::equal(kAsfHeader.begin(), kAsfHeader.end(), head.begin(),
                 [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); })) {
    return ".wma";
  }
  // An MPEG audio frame: eleven sync bits, a layer that is not "reserved".
  if (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF &&
      (static_cast<unsigned char>(head[1]) & 0xE0) == 0xE0 &&
      (static_cast<unsigned char>(head[1]) & 0x06) != 0) {
    return ".mp3";
  }
  return {};
}

std::string PictureExtensionFromBytes(std::string_view head) {
  if (HasPrefix(head, "\x89PNG\r\n\x1a\n")) return ".png";
  if (HasPrefix(head, "\xFF\xD8\xFF")) return ".jpg";
  if (HasPrefix(head, "GIF87a") || HasPrefix(head, "GIF89a")) return ".gif";
  if (HasPrefix(head, "BM") && head.size() >= 14) return ".bmp";
  return {};
}

std::string ReadFileHead(const std::string& path, std::size_t count) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::string bytes(count, '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return bytes;
}

bool IsSongExtension(std::string_view extension) {
  return extension == ".mp3" || extension == ".wma";
}

bool MoveFileOver(const std::string& from, const std::string& to) {
  if (from == to) return fs::FileExists(from);
  if (fs::RenamePath(from, to)) return true;
  std::optional<std::string> bytes = fs::ReadWholeFile(from);
  if (!bytes || !fs::WriteFileAtomic(to, *bytes)) return false;
  fs::RemoveFile(from);
  return true;
}

}  // namespace quillo::downloads
