// Reading and writing the phone player's files for PhoneDevices.
#include <tinyxml.h>

#include <map>
#include <set>

#include "device/DeviceIds.h"
#include "device/PhoneDevices.h"
#include "device/PhoneFiles.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/CaseMapping.h"
#include "platform/text/TextUtil.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/SafeNames.h"
#include "store/SongTagAccess.h"
#include "store/StoredPath.h"

namespace quillo::device {
namespace {

constexpr std::string_view kIndexName = "sorvel.xml";
constexpr std::string_view kAllMusicName = "AllMusic.txt";
constexpr std::string_view kConfigPath = "@MusicPlayer/MPConfig.ini";
constexpr std::size_t kMaxListFileChars = 32;
// New files are written under these names first and renamed over the old ones at the end.
constexpr std::string_view kPendingSuffix = ".quillo-new";

const char* kIndexAttributes[] = {"album_id",    "album_name", "album_seq",
                                  "artist_id",   "artist_name", "name"};

std::string Lower(std::string_view text) { return text::ToLowerUnicode(text); }

// The first `count` code points of a UTF-8 text.
std::string FirstCodePoints(const std::string& text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t seen = 0; at < text.size() && seen < count; ++seen) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return text.substr(0, at);
}

// A list file name from a configuration record ("C:\name.lst" → "name.lst"); no value when it
// would name anything but a plain file in the phone's root.
std::optional<std::string> ListFileName(const std::string& record_text) {
  if (record_text.size() < 4 || record_text[2] != '\\') return std::nullopt;
  std::string name = record_text.substr(3);
  if (name.empty() || name == "." || name == ".." ||
      name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos) {
    return std::nullopt;
  }
  return name;
}

std::string WithoutExtension(const std::string& name) {
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The phone path of a record for the phone's files, or no value when it has none.
std::optional<std::string> PhonePathOf(const PhoneRoots& roots, const store::MusicRecord& record) {
  auto it = record.find("fileName");
  if (it == record.end() || it->second.empty()) return std::nullopt;
  const std::string& file_name = it->second;
  if (text::StartsWith(file_name, store::kFileUrlPrefix)) {
    return roots.ToPhone(file_name.substr(store::kFileUrlPrefix.size()));
  }
  if (!store::IsContainedRelativeName(file_name)) return std::nullopt;
  std::string phone = roots.PhoneDriveText() + "我的音乐\\" + file_name;
  for (char& c : phone) {
    if (c == '/') c = '\\';
  }
  return phone;
}

void RemovePending(const std::vector<std::pair<std::string, std::string>>& files) {
  for (const auto& [pending, final_path] : files) fs::RemoveFile(pending);
}

}  // namespace

PhoneDevices::Device PhoneDevices::ReadDevice(const PhoneRoots& roots,
                                              const std::string& device_id) {
  Device device{device_id, roots, {}};
  device.lists.push_back({AllSongsListId(device_id), std::string(kAllSongsName), {}, true, {}});
  DeviceList& all = device.lists.front();
  const std::string prefix = AllSongsListId(device_id);
  const bool changed = fs::PathExists(roots.phone_root() + ".change");

  // Songs the index knows, under their lower-cased phone paths.
  std::map<std::string, store::MusicRecord> known;
  auto remember = [&](const std::string& phone_path, store::MusicRecord record) -> bool {
    std::optional<std::string> path = roots.ToComputer(phone_path);
    if (!path) return false;
    record["id"] = prefix + store::LocalMusicId(*path);
    record["fileName"] = std::string(store::kFileUrlPrefix) + *path;
    store::MusicLibrary::AddSearchKeys(record);
    known[Lower(phone_path)] = record;
    return true;
  };

  if (std::optional<std::string> xml = fs::ReadWholeFile(roots.MusicFolder() + std::string(kIndexName))) {
    TiXmlDocument document;
    document.Parse(xml->c_str(), nullptr, TIXML_ENCODING_UTF8);
    TiXmlElement* root = document.RootElement();
    TiXmlElement* folders = root ? root->FirstChildElement("folders") : nullptr;
    for (TiXmlElement* folder = folders ? folders->FirstChildElement("folder") : nullptr; folder;
         folder = folder->NextSiblingElement("folder")) {
      const char* folder_name = folder->Attribute("name");
      if (!folder_name || std::string_view(folder_name) != "music") continue;
      for (TiXmlElement* file = folder->FirstChildElement("file"); file;
           file = file->NextSiblingElement("file")) {
        store::MusicRecord record;
        for (TiXmlAttribute* a = file->FirstAttribute(); a; a = a->Next()) {
          record[a->Name()] = a->Value();
        }
        std::string file_name = record["fileName"];
        std::string phone_path =
            text::StartsWith(file_name, store::kFileUrlPrefix)
                ? file_name.substr(store::kFileUrlPrefix.size())
                : roots.PhoneDriveText() + "我的音乐\\" + file_name;
        if (remember(phone_path, record) && changed) all.records.push_back(known[Lower(phone_path)]);
      }
      break;
    }
  }

  if (!changed) {
    std::string bytes = fs::ReadWholeFile(roots.phone_root() + std::string(kAllMusicName)).value_or("");
    for (const std::string& phone_path : ParsePathRecords(bytes)) {
      auto it = known.find(Lower(phone_path));
      if (it != known.end()) {
        all.records.push_back(it->second);
        continue;
      }
      std::optional<std::string> path = roots.ToComputer(phone_path);
      if (!path) continue;
      const std::string extension = text::ToLowerAscii(store::FileExtension(fs::BaseName(*path)));
      if (extension != ".mp3" && extension != ".wma" && extension != ".mkv") continue;
      std::optional<store::SongTags> tags;
      if (tags_ && extension != ".mkv" && fs::FileExists(*path)) tags = tags_->ReadTags(*path, extension);
      store::MusicRecord record;
      std::string title = tags ? text::Trim(tags->title) : std::string();
      if (title.empty()) {
        std::string base = fs::BaseName(*path);
        title = base.substr(0, base.size() - store::FileExtension(base).size());
      }
      record["name"] = title;
      record["artist_name"] = tags ? text::Trim(tags->artist) : std::string();
      record["album_name"] = tags ? text::Trim(tags->album) : std::string();
      if (remember(phone_path, record)) all.records.push_back(known[Lower(phone_path)]);
    }
  }

  std::string config_bytes = fs::ReadWholeFile(roots.phone_root() + std::string(kConfigPath)).value_or("");
  for (const std::string& record_text : ParsePlayerConfig(config_bytes).list_paths) {
    std::optional<std::string> file_name = ListFileName(record_text);
    if (!file_name) continue;
    std::optional<std::string> bytes = fs::ReadWholeFile(roots.phone_root() + *file_name);
    if (!bytes) continue;
    std::string name = WithoutExtension(*file_name);
    DeviceList list{ListIdForName(device_id, name), name, {}, true, {}};
    for (const std::string& phone_path : ParsePathRecords(*bytes)) {
      auto it = known.find(Lower(phone_path));
      if (it != known.end()) list.records.push_back(it->second);
    }
    device.lists.push_back(std::move(list));
  }
  return device;
}

bool PhoneDevices::SaveDevice(std::string_view device_id) {
  std::optional<Device> copy;
  {
    auto lock = store_.Lock();
    if (const Device* device = FindDevice(device_id)) copy = *device;
  }
  if (!copy) return false;
  const PhoneRoots& roots = copy->roots;
  const std::string prefix = AllSongsListId(copy->id);
  const std::string& phone_root = roots.phone_root();

  // The song index, replaced atomically.
  TiXmlDocument document;
  auto* root = new TiXmlElement("Sorvel");
  document.LinkEndChild(root);
  auto* folders = new TiXmlElement("folders");
  root->LinkEndChild(folders);
  auto* folder = new TiXmlElement("folder");
  folder->SetAttribute("name", "music");
  folders->LinkEndChild(folder);
  for (const store::MusicRecord& record : copy->lists.front().records) {
    std::optional<std::string> phone_path = PhonePathOf(roots, record);
    if (!phone_path) continue;
    auto* file = new TiXmlElement("file");
    for (const char* attribute : kIndexAttributes) {
      auto it = record.find(attribute);
      file->SetAttribute(attribute, it == record.end() ? "" : it->second.c_str());
    }
    std::string id = store::IdOf(record);
    if (text::StartsWith(id, prefix)) id = id.substr(prefix.size());
    file->SetAttribute("id", id.c_str());
    file->SetAttribute("fileName", (std::string(store::kFileUrlPrefix) + *phone_path).c_str());
    folder->LinkEndChild(file);
  }
  TiXmlPrinter printer;
  document.Accept(&printer);
  if (!fs::CreateFolders(roots.MusicFolder()) ||
      !fs::WriteFileAtomic(roots.MusicFolder() + std::string(kIndexName), printer.Str())) {
    return false;
  }

  // The markers tell the phone's player that the lists changed.
  for (const char* marker : {".change", ".listchange"}) {
    fs::RemoveFile(phone_root + marker);
    if (!fs::WriteFile(phone_root + marker, "")) return false;
  }

  // Every new list file is written in full before any old one is touched.
  std::optional<std::string> old_config = fs::ReadWholeFile(phone_root + std::string(kConfigPath));
  PlayerConfig config;
  if (old_config && old_config->size() >= 4) {
    for (std::size_t i = 0; i < 4; ++i) config.header[i] = static_cast<std::uint8_t>((*old_config)[i]);
  }
  std::vector<std::pair<std::string, std::string>> pending;  // (written name, final name)
  std::set<std::string> used_names;
  for (std::size_t i = 1; i < copy->lists.size() && i <= kMaxPhoneLists; ++i) {
    const DeviceList& list = copy->lists[i];
    const std::string base = FirstCodePoints(store::SafeFileName(list.name), kMaxListFileChars);
    std::string name = base;
    for (int counter = 1; used_names.count(Lower(name)); ++counter) name = base + std::to_string(counter);
    used_names.insert(Lower(name));
    std::string bytes;
    std::uint16_t count = 0;
    for (const store::MusicRecord& record : list.records) {
      std::optional<std::string> phone_path = PhonePathOf(roots, record);
      if (!phone_path) continue;
      std::optional<std::string> encoded = EncodePathRecord(*phone_path);
      if (!encoded) continue;
      bytes += *encoded;
      ++count;
    }
    const std::string final_path = phone_root + name + ".lst";
    const std::string pending_path = final_path + std::string(kPendingSuffix);
    pending.emplace_back(pending_path, final_path);
    if (!fs::WriteFileAtomic(pending_path, bytes)) {
      RemovePending(pending);
      return false;
    }
    config.counts[i - 1] = count;
    config.list_paths.push_back("C:\\" + name + ".lst");
  }
  const std::string config_path = phone_root + std::string(kConfigPath);
  const std::string config_pending = config_path + std::string(kPendingSuffix);
  if (!fs::CreateFolders(fs::ParentFolder(config_path)) ||
      !fs::WriteFileAtomic(config_pending, EncodePlayerConfig(config))) {
    RemovePending(pending);
    fs::RemoveFile(config_pending);
    return false;
  }

  // All written: the new files take the old ones' places, then lists that are gone go.
  std::set<std::string> kept;
  for (const auto& [pending_path, final_path] : pending) {
    if (!fs::RenamePath(pending_path, final_path)) {
      RemovePending(pending);
      fs::RemoveFile(config_pending);
      return false;
    }
    kept.insert(fs::BaseName(final_path));
  }
  if (!fs::RenamePath(config_pending, config_path)) return false;
  for (const std::string& entry : fs::ListFolder(phone_root)) {
    if (text::EndsWith(text::ToLowerAscii(entry), ".lst") && !kept.count(entry) &&
        fs::FileExists(phone_root + entry)) {
      fs::RemoveFile(phone_root + entry);
    }
  }
  return true;
}

}  // namespace quillo::device
