// device open CARD [PHONE], device save CARD [PHONE], the list and song operations on a phone
// folder, device copy and device fetch: a phone's mount roots given as folders, without a window.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>

#include "device/DeviceCopyQueue.h"
#include "device/DeviceIds.h"
#include "device/PhoneDevices.h"
#include "media/MediaTagAccess.h"
#include "platform/text/TextUtil.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "store/StoredPath.h"
#include "tools/quillo-tool/CopyReporter.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {
namespace {

std::string Absolute(const std::string& argument) {
  std::error_code error;
  std::string path = std::filesystem::absolute(argument, error).lexically_normal().string();
  return error ? argument : path;
}

// The words of a command with "--phone PHONE" taken out; the phone root, when given, goes to
// *phone.
std::vector<std::string> TakePhoneOption(const std::vector<std::string>& args, std::string* phone) {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--phone" && i + 1 < args.size()) {
      *phone = Absolute(args[++i]);
    } else {
      rest.push_back(args[i]);
    }
  }
  return rest;
}

// One opened phone for the command's run.
struct OpenedPhone {
  OpenedPhone(const std::string& card, const std::string& phone)
      : devices(runtime().store(), runtime().library(), &tags),
        roots(Absolute(card), phone.empty() ? std::string() : Absolute(phone)) {
    id = devices.OpenDevice(roots);
  }
  static store::StoreRuntime& runtime() { return *store::StoreRuntime::Instance(); }

  media::MediaTagAccess tags;
  device::PhoneDevices devices;
  device::PhoneRoots roots;
  std::string id;
};

void PrintLists(OpenedPhone& phone, std::ostream& out) {
  for (const store::PlaylistEntry& entry : phone.devices.DeviceLists(phone.id)) {
    out << entry.id << "\t" << Shown(entry.name) << "\n";
    for (const store::MusicRecord& record : phone.devices.DeviceListRecords(entry.id)) {
      auto it = record.find("name");
      out << "\t" << Shown(it == record.end() ? std::string() : it->second) << "\n";
    }
  }
}

bool CheckFolder(const std::string& path, std::ostream& err) {
  if (std::filesystem::is_directory(path)) return true;
  err << "not a folder: " << path << "\n";
  return false;
}

int SaveAndPrint(OpenedPhone& phone, ToolContext& context) {
  if (!phone.devices.SaveDevice(phone.id)) {
    context.err << "could not write the phone's lists: " << phone.roots.phone_root() << "\n";
    return 1;
  }
  PrintLists(phone, context.out);
  return 0;
}

int Open(ToolContext& context, bool save) {
  const char* usage = save ? "usage: quillo-tool device save CARD [PHONE]\n"
                           : "usage: quillo-tool device open CARD [PHONE]\n";
  if (context.args.empty() || context.args.size() > 2) {
    context.err << usage;
    return 1;
  }
  const std::string phone_root = context.args.size() == 2 ? context.args[1] : std::string();
  if (!CheckFolder(context.args[0], context.err) ||
      (!phone_root.empty() && !CheckFolder(phone_root, context.err))) {
    return 1;
  }
  OpenedPhone phone(context.args[0], phone_root);
  if (save) return SaveAndPrint(phone, context);
  PrintLists(phone, context.out);
  return 0;
}

// Runs a list operation over "CARD ARG..." (with --phone PHONE anywhere) and writes the lists
// back when it succeeds.
int ListOperation(ToolContext& context, std::size_t arg_count, const char* usage,
                  const std::function<bool(OpenedPhone&, const std::vector<std::string>&)>& run) {
  std::string phone_root;
  std::vector<std::string> args = TakePhoneOption(context.args, &phone_root);
  if (args.size() != arg_count + 1) {
    context.err << "usage: quillo-tool " << usage << "\n";
    return 1;
  }
  if (!CheckFolder(args[0], context.err)) return 1;
  OpenedPhone phone(args[0], phone_root);
  if (!run(phone, std::vector<std::string>(args.begin() + 1, args.end()))) {
    context.err << "no such list or song on the phone\n";
    return 1;
  }
  return SaveAndPrint(phone, context);
}

// Copies library songs to a phone list: songs the phone already holds only join the list, the
// others are copied by the copy queue and join the list once their file is in place.
int Copy(ToolContext& context) {
  std::string phone_root;
  std::vector<std::string> args = TakePhoneOption(context.args, &phone_root);
  if (args.size() < 3) {
    context.err << "usage: quillo-tool device copy CARD LIST_ID MUSIC_ID... [--phone PHONE]\n";
    return 1;
  }
  if (!CheckFolder(args[0], context.err)) return 1;
  OpenedPhone phone(args[0], phone_root);
  const std::string& list_id = args[1];
  if (device::DeviceIdOf(list_id) != phone.id) {
    context.err << "not a list of this phone: " << list_id << "\n";
    return 1;
  }
  store::MusicLibrary& library = OpenedPhone::runtime().library();
  std::vector<device::CopyTask> tasks;
  int status = 0;
  for (std::size_t i = 2; i < args.size(); ++i) {
    std::optional<store::MusicRecord> record = library.FindMusic(args[i]);
    if (!record) {
      context.err << "歌曲不存在: " << args[i] << "\n";
      status = 1;
      continue;
    }
    if (std::optional<store::MusicRecord> held = phone.devices.FindSameSong(phone.id, *record)) {
      phone.devices.AddToDeviceList(*held, list_id);
      continue;
    }
    std::optional<std::string> source = library.MusicPath(*record);
    std::optional<device::CopyTask> task =
        source ? device::MakeCopyToDevice(*record, *source, phone.roots, list_id) : std::nullopt;
    if (!task) {
      context.err << "not downloaded: " << args[i] << "\n";
      status = 1;
      continue;
    }
    tasks.push_back(std::move(*task));
  }
  CopyReporter reporter(context.err);
  reporter.Run(std::move(tasks));
  for (device::CopyTask& task : reporter.copied) {
    task.record["fileName"] = std::string(store::kFileUrlPrefix) + task.destination;
    phone.devices.AddToDeviceList(task.record, task.list_id);
  }
  if (reporter.failed > 0) status = 1;
  return SaveAndPrint(phone, context) != 0 ? 1 : status;
}

// Copies phone songs into the library's music folder; each joins the library (and the list
// given with --to) once its file is in place. Songs the library holds with their file only join
// the list.
int Fetch(ToolContext& context) {
  std::string phone_root;
  std::vector<std::string> args = TakePhoneOption(context.args, &phone_root);
  std::string target;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "--to") {
      target = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      break;
    }
  }
  if (args.size() < 2) {
    context.err << "usage: quillo-tool device fetch CARD SONG... [--to LIST_ID] [--phone PHONE]\n";
    return 1;
  }
  if (!CheckFolder(args[0], context.err)) return 1;
  OpenedPhone phone(args[0], phone_root);
  store::StoreRuntime& runtime = OpenedPhone::runtime();
  store::MusicLibrary& library = runtime.library();
  if (!target.empty() && !runtime.playlists().GetPlaylistInfo(target)) {
    context.err << "no such list: " << target << "\n";
    return 1;
  }
  const std::vector<store::MusicRecord> songs = phone.devices.DeviceListRecords("d_" + phone.id + "_");
  const std::string music_folder = runtime.store().FolderPath("music");
  std::vector<device::CopyTask> tasks;
  int status = 0;
  for (std::size_t i = 1; i < args.size(); ++i) {
    auto song = std::find_if(songs.begin(), songs.end(),
                             [&](const store::MusicRecord& r) {
                               auto name = r.find("name");
                               return store::IdOf(r) == args[i] || (name != r.end() && name->second == args[i]);
                             });
    std::optional<device::CopyTask> task =
        song == songs.end() ? std::nullopt
                            : device::MakeCopyFromDevice(*song, phone.roots, library, music_folder, target);
    if (!task) {
      context.err << "歌曲不存在: " << args[i] << "\n";
      status = 1;
      continue;
    }
    if (std::optional<store::MusicRecord> known = library.FindMusic(store::IdOf(task->record))) {
      std::optional<std::string> path = library.MusicPath(*known);
      if (path && std::filesystem::exists(*path)) {
        if (!target.empty()) runtime.playlists().AddItem(target, store::IdOf(*known));
        context.out << store::IdOf(*known) << "\t" << *path << "\n";
        continue;
      }
    }
    tasks.push_back(std::move(*task));
  }
  CopyReporter reporter(context.err);
  reporter.Run(std::move(tasks));
  for (const device::CopyTask& task : reporter.copied) {
    device::AddCopiedSongToLibrary(library, runtime.playlists(), task);
    context.out << store::IdOf(task.record) << "\t" << task.destination << "\n";
  }
  if (reporter.failed > 0) status = 1;
  return status;
}

std::string NewListPart() {
  return text::ToLowerAscii(store::DocumentStore::NewIdText());
}

}  // namespace

void RegisterDeviceCommands(CommandList& commands) {
  commands.push_back({"device open", "CARD [PHONE]", [](ToolContext& c) { return Open(c, false); }});
  commands.push_back({"device save", "CARD [PHONE]", [](ToolContext& c) { return Open(c, true); }});
  commands.push_back({"device list create", "CARD NAME [--phone PHONE]", [](ToolContext& c) {
    return ListOperation(c, 1, "device list create CARD NAME [--phone PHONE]",
                         [](OpenedPhone& p, const std::vector<std::string>& a) {
                           return !p.devices.CreateDeviceList(p.id, NewListPart(), a[0]).empty();
                         });
  }});
  commands.push_back({"device list rename", "CARD LIST_ID NAME [--phone PHONE]", [](ToolContext& c) {
    return ListOperation(c, 2, "device list rename CARD LIST_ID NAME [--phone PHONE]",
                         [](OpenedPhone& p, const std::vector<std::string>& a) {
                           return p.devices.RenameDeviceList(a[0], a[1]);
                         });
  }});
  commands.push_back({"device list delete", "CARD LIST_ID [--phone PHONE]", [](ToolContext& c) {
    return ListOperation(c, 1, "device list delete CARD LIST_ID [--phone PHONE]",
                         [](OpenedPhone& p, const std::vector<std::string>& a) {
                           return p.devices.DeleteDeviceList(a[0]);
                         });
  }});
  commands.push_back({"device list clear", "CARD LIST_ID [--phone PHONE]", [](ToolContext& c) {
    return ListOperation(c, 1, "device list clear CARD LIST_ID [--phone PHONE]",
                         [](OpenedPhone& p, const std::vector<std::string>& a) {
                           if (device::DeviceIdOf(a[0]) != p.id) return false;
                           p.devices.ClearDeviceList(a[0]);
                           return true;
                         });
  }});
  commands.push_back({"device list move", "CARD LIST_ID TARGET_ID before|after [--phone PHONE]",
                      [](ToolContext& c) {
    return ListOperation(c, 3, "device list move CARD LIST_ID TARGET_ID before|after [--phone PHONE]",
                         [](OpenedPhone& p, const std::vector<std::string>& a) {
                           if (a[2] != "before" && a[2] != "after") return false;
                           return p.devices.MoveDeviceList(a[0], a[1], a[2] == "before");
                         });
  }});
  commands.push_back({"device list sort", "CARD LIST_ID name|artist_name [--phone PHONE]",
                      [](ToolContext& c) {
    return ListOperation(c, 2, "device list sort CARD LIST_ID name|artist_name [--phone PHONE]",
                         [](OpenedPhone& p, const std::vector<std::string>& a) {
                           if (a[1] != "name" && a[1] != "artist_name") return false;
                           return p.devices.SortDeviceList(a[0], a[1], true);
                         });
  }});
  commands.push_back({"device song remove", "CARD LIST_ID SONG_ID [--phone PHONE]", [](ToolContext& c) {
    return ListOperation(c, 2, "device song remove CARD LIST_ID SONG_ID [--phone PHONE]",
                         [](OpenedPhone& p, const std::vector<std::string>& a) {
                           return p.devices.RemoveFromDeviceList(a[0], a[1]);
                         });
  }});
  commands.push_back({"device song delete", "CARD LIST_ID SONG_ID [--phone PHONE]", [](ToolContext& c) {
    return ListOperation(c, 2, "device song delete CARD LIST_ID SONG_ID [--phone PHONE]",
                         [](OpenedPhone& p, const std::vector<std::string>& a) {
                           if (device::DeviceIdOf(a[0]) != p.id) return false;
                           p.devices.RemoveSongFromDevice(a[0], a[1]);
                           return true;
                         });
  }});
  commands.push_back({"device copy", "CARD LIST_ID MUSIC_ID... [--phone PHONE]", Copy});
  commands.push_back({"device fetch", "CARD SONG... [--to LIST_ID] [--phone PHONE]", Fetch});
}

}  // namespace quillo::tool
