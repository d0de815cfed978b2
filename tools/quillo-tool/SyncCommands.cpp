// sync new-playlist|rename|delete-playlist|add-to|new-from|add-to-library|delete-songs|remove|
// clear|drop ...: the playlist synchronisation commands as the main window runs them, with the
// answers its boxes would give as arguments (SONG is a music id, LIST a list id); and add-link
// quillo://add/.... Each changes the data folder's store, then sends the command's request to
// the service, continuing the login session of the command before (the cookie jar), and waits
// until every request it sent has ended before it exits.
#include <cctype>
#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/loop/MainLoop.h"
#include "platform/text/TextUtil.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/runtime/ServiceRuntime.h"
#include "service/sync/IdlePlayback.h"
#include "service/sync/ListKinds.h"
#include "service/sync/PlaylistSync.h"
#include "service/sync/SyncPrompt.h"
#include "service/sync/SyncView.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/SafeNames.h"
#include "store/StoreRuntime.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"
#include "tools/quillo-tool/ToolPhone.h"
#include "tools/quillo-tool/ToolRuntime.h"

namespace quillo::tool {
namespace {

// Beyond the downloader's own receive time-out, so only a stalled service reaches it.
constexpr std::chrono::seconds kDeliveryTimeout{90};

// The main window of a command line: the list shown, the rows (all of them selected unless
// the command picks some) and the panel's selection are what the arguments say.
class ToolView : public service::SyncView {
 public:
  std::string ShownListId() override { return shown; }
  std::optional<std::string> SelectedPanelListId() override { return panel_selection; }
  int RowCount() override { return static_cast<int>(rows.size()); }
  std::vector<int> SelectedRows() override { return selected; }
  std::optional<store::MusicRecord> RowRecord(int row) override {
    if (row < 0 || row >= RowCount()) return std::nullopt;
    return rows[static_cast<std::size_t>(row)];
  }
  void RefreshPlaylistPanel() override {}
  void RefreshSongList() override {}
  void ShowPlaylistPage() override {}
  void SelectPanelList(const std::string&) override {}

  void SelectAll(std::vector<store::MusicRecord> records) {
    rows = std::move(records);
    selected.clear();
    for (std::size_t row = 0; row < rows.size(); ++row) selected.push_back(static_cast<int>(row));
  }

  std::string shown;
  std::optional<std::string> panel_selection;
  std::vector<store::MusicRecord> rows;
  std::vector<int> selected;
};

// The prompt box answers with the name given on the command line.
class ToolPrompt : public service::SyncPrompt {
 public:
  std::optional<std::string> PromptBox(const std::string&, const std::string&,
                                       const std::string&) override {
    return answer;
  }
  std::optional<std::string> answer;
};

store::StoreRuntime& Runtime() {
  return *store::StoreRuntime::Instance();
}

int Fail(ToolContext& context, const std::string& message) {
  context.err << "quillo-tool: " << message << "\n";
  return 1;
}

int Usage(ToolContext& context, const std::string& usage) {
  context.err << "usage: quillo-tool " << usage << "\n";
  return 1;
}

// The playlist commands wired as the program wires them, over the command's service runtime,
// which continues the data folder's login session. Finish waits for the requests before the
// transfers end.
class SyncSession {
 public:
  // The configured phone, if any, is opened at once: its lists are checked before the start.
  explicit SyncSession(ToolContext& context)
      : context_(context), tool_(context), phone_(Runtime(), context.err) {}
  // The transfers end before the commands and their views go.
  ~SyncSession() { tool_.service().Shutdown(); }

  // False (with a message) when no service can be had.
  bool Start() {
    if (!tool_.Endpoints()) return false;
    store::StoreRuntime& runtime = Runtime();
    service::ServiceRuntime& client = tool_.service();
    playback_ = std::make_unique<service::IdlePlayback>(runtime.store(), runtime.playlists(),
                                                        runtime.queue());
    sync_ = std::make_unique<service::PlaylistSync>(service::PlaylistSync::Parts{
        runtime.store(), runtime.library(), runtime.playlists(), client.sender(),
        client.request_sender(), view, prompt, *playback_, phone_});
    return true;
  }

  service::PlaylistSync& sync() { return *sync_; }
  ToolPhone& phone() { return phone_; }

  // Waits for the add-music answer, if one is awaited.
  bool AwaitAnswers() {
    return tool_.loop().PumpUntil([this] { return sync_->pending_answers() == 0; },
                                  kDeliveryTimeout);
  }

  // Waits until every request has been delivered (or failed), then ends the transfers.
  int Finish(int status) {
    if (sync_ && !tool_.service().request_sender().Drain(tool_.loop(), kDeliveryTimeout)) {
      status = Fail(context_,
                    "同步请求在 " + std::to_string(kDeliveryTimeout.count()) + " 秒内没有完成");
    }
    tool_.service().Shutdown();
    if (status == 0 && !phone_.updates_written()) status = 1;
    return status;
  }

  ToolView view;
  ToolPrompt prompt;

 private:
  ToolContext& context_;
  ToolRuntime tool_;
  std::unique_ptr<service::IdlePlayback> playback_;
  ToolPhone phone_;
  std::unique_ptr<service::PlaylistSync> sync_;
};

// ---- Checks of the arguments, with the messages the commands fail with ----------------------

// A list the commands may name: a phone list needs the configured phone to hold it; the rest
// must exist.
std::optional<std::string> CheckListExists(SyncSession& session, const std::string& list_id) {
  if (service::IsDeviceListId(list_id)) {
    if (!session.phone().IsConnected()) return "手机未连接，无法修改手机列表: " + list_id;
    if (!session.phone().HasList(list_id)) return "手机列表不存在: " + list_id;
    return std::nullopt;
  }
  if (!list_id.empty() && !Runtime().playlists().PlaylistExists(list_id)) {
    return "播放列表不存在: " + list_id;
  }
  return std::nullopt;
}

std::optional<std::string> CheckUserPlaylist(SyncSession& session, const std::string& list_id,
                                             const char* action) {
  if (!service::IsDeviceListId(list_id) && !service::IsUserPlaylistId(list_id)) {
    return std::string("该列表不能") + action + ": " + (list_id.empty() ? "(默认列表)" : list_id);
  }
  return CheckListExists(session, list_id);
}

// The record of a song named on the command line: the library's, else a temporary list's
// (the recently played list is kept). With by_id, an id of the service's form that neither
// holds stands for the service's song by the id alone (its name and the rest come with the next
// login): adding to the library is how a user takes up a song of the service.
std::optional<store::MusicRecord> SongRecord(const std::string& music_id, bool by_id) {
  store::StoreRuntime& runtime = Runtime();
  if (std::optional<store::MusicRecord> record = runtime.library().FindMusic(music_id)) {
    return record;
  }
  if (store::MusicRecordPtr record = runtime.playlists().FindInTemporaryLists(music_id)) {
    return *record;
  }
  if (!by_id || music_id.empty() || store::IsLocalId(music_id)) return std::nullopt;
  for (const char c : music_id) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return std::nullopt;
  }
  return store::MusicRecord{{"id", music_id}};
}

// With a phone, its songs ("d_" ids) are found on it.
std::optional<std::string> ResolveSongs(const std::vector<std::string>& ids,
                                        std::vector<store::MusicRecord>& records,
                                        bool by_id = false, ToolPhone* phone = nullptr) {
  for (const std::string& id : ids) {
    std::optional<store::MusicRecord> record =
        phone && service::IsDeviceListId(id) ? phone->FindSong(id) : SongRecord(id, by_id);
    if (!record) return "歌曲不存在: " + id;
    records.push_back(std::move(*record));
  }
  return std::nullopt;
}

// Shows LIST with the named songs selected; each must be in it.
std::optional<std::string> ShowAndSelect(ToolView& view, const std::string& list_id,
                                         const std::vector<std::string>& ids) {
  view.shown = list_id;
  view.rows.clear();
  for (const store::MusicRecordPtr& record : Runtime().playlists().ListRecords(list_id)) {
    view.rows.push_back(*record);
  }
  std::set<int> selected;
  for (const std::string& id : ids) {
    bool found = false;
    for (std::size_t row = 0; row < view.rows.size(); ++row) {
      if (store::IdOf(view.rows[row]) == id) {
        selected.insert(static_cast<int>(row));
        found = true;
      }
    }
    if (!found)
      return "歌曲不在列表 " + (list_id.empty() ? std::string("(默认列表)") : list_id) +
             " 中: " + id;
  }
  view.selected.assign(selected.begin(), selected.end());
  return std::nullopt;
}

std::vector<std::string> Rest(const std::vector<std::string>& args, std::size_t from) {
  return std::vector<std::string>(args.begin() + static_cast<long>(from), args.end());
}

bool BlankName(const std::string& name) {
  return text::Trim(name).empty();
}

// ---- The commands ----------------------------------------------------------------------------

int NewPlaylist(ToolContext& context) {
  if (context.args.size() != 1) return Usage(context, "sync new-playlist NAME");
  if (BlankName(context.args[0])) return Fail(context, "播放列表名称不能为空");
  SyncSession session(context);
  if (!session.Start()) return 1;
  session.prompt.answer = context.args[0];
  const std::string id = session.sync().NewPlaylist();
  if (id.empty()) return session.Finish(Fail(context, "无法创建播放列表"));
  context.out << id << "\n";
  return session.Finish(0);
}

int Rename(ToolContext& context) {
  if (context.args.size() != 2) return Usage(context, "sync rename LIST NAME");
  const std::string& list_id = context.args[0];
  SyncSession session(context);
  if (auto problem = CheckUserPlaylist(session, list_id, "改名")) return Fail(context, *problem);
  if (BlankName(context.args[1])) return Fail(context, "播放列表名称不能为空");
  if (!session.Start()) return 1;
  session.view.panel_selection = list_id;
  session.prompt.answer = context.args[1];
  const bool renamed = session.sync().RenamePlaylist();
  return session.Finish(renamed ? 0 : Fail(context, "播放列表不存在: " + list_id));
}

int DeletePlaylist(ToolContext& context) {
  if (context.args.size() != 1) return Usage(context, "sync delete-playlist LIST");
  const std::string& list_id = context.args[0];
  SyncSession session(context);
  if (auto problem = CheckUserPlaylist(session, list_id, "删除")) return Fail(context, *problem);
  if (!session.Start()) return 1;
  session.view.panel_selection = list_id;
  const bool deleted = session.sync().DeletePlaylist();
  return session.Finish(deleted ? 0 : Fail(context, "播放列表不存在: " + list_id));
}

int AddTo(ToolContext& context) {
  if (context.args.size() < 2) return Usage(context, "sync add-to LIST SONG...");
  const std::string& list_id = context.args[0];
  SyncSession session(context);
  if (auto problem = CheckUserPlaylist(session, list_id, "添加歌曲")) return Fail(context, *problem);
  std::vector<store::MusicRecord> records;
  if (auto problem = ResolveSongs(Rest(context.args, 1), records)) return Fail(context, *problem);
  if (!session.Start()) return 1;
  // The songs are selected in a list other than the target: the default list stands for it.
  session.view.shown = std::string(service::kDefaultListId);
  session.view.SelectAll(std::move(records));
  for (const service::AddToListEntry& entry : session.sync().AddToListEntries()) {
    if (entry.list_id != list_id) continue;
    const bool added = session.sync().AddToList(entry.command_id);
    return session.Finish(added ? 0 : Fail(context, "没有歌曲被添加"));
  }
  return session.Finish(Fail(context, "播放列表不存在: " + list_id));
}

int NewFrom(ToolContext& context) {
  if (context.args.size() < 2) return Usage(context, "sync new-from NAME SONG...");
  std::vector<store::MusicRecord> records;
  if (auto problem = ResolveSongs(Rest(context.args, 1), records)) return Fail(context, *problem);
  SyncSession session(context);
  if (!session.Start()) return 1;
  session.view.shown = std::string(service::kDefaultListId);
  session.view.SelectAll(std::move(records));
  // "-" leaves the name to the songs (their common album, else artist).
  const std::string& name = context.args[0];
  const std::string id = session.sync().NewListFromSelection(
      name == "-" ? std::nullopt : std::optional<std::string>(name));
  if (id.empty()) return session.Finish(Fail(context, "无法创建播放列表"));
  context.out << id << "\n";
  return session.Finish(0);
}

int AddToLibrary(ToolContext& context) {
  if (context.args.empty()) return Usage(context, "sync add-to-library SONG...");
  std::vector<store::MusicRecord> records;
  if (auto problem = ResolveSongs(context.args, records, /*by_id=*/true)) {
    return Fail(context, *problem);
  }
  SyncSession session(context);
  if (!session.Start()) return 1;
  session.view.shown = std::string(store::Playlists::kRecentListId);
  session.view.SelectAll(std::move(records));
  context.out << session.sync().AddToLibrary() << "\n";
  return session.Finish(0);
}

// delete-songs and remove: LIST shown with the SONGs selected.
int SongsOfList(ToolContext& context, const char* usage, bool (service::PlaylistSync::*command)()) {
  if (context.args.size() < 2) return Usage(context, usage);
  const std::string& list_id = context.args[0];
  SyncSession session(context);
  if (auto problem = CheckListExists(session, list_id)) return Fail(context, *problem);
  if (auto problem = ShowAndSelect(session.view, list_id, Rest(context.args, 1))) {
    return Fail(context, *problem);
  }
  if (!session.Start()) return 1;
  (session.sync().*command)();
  return session.Finish(0);
}

int DeleteSongs(ToolContext& context) {
  return SongsOfList(context, "sync delete-songs LIST SONG...",
                     &service::PlaylistSync::DeleteSongs);
}

int Remove(ToolContext& context) {
  return SongsOfList(context, "sync remove LIST SONG...", &service::PlaylistSync::RemoveFromList);
}

int Clear(ToolContext& context) {
  if (context.args.size() != 1) return Usage(context, "sync clear LIST");
  const std::string& list_id = context.args[0];
  SyncSession session(context);
  if (auto problem = CheckListExists(session, list_id)) return Fail(context, *problem);
  if (!session.Start()) return 1;
  session.view.shown = list_id;
  session.sync().ClearList();
  return session.Finish(0);
}

int Drop(ToolContext& context) {
  if (context.args.size() < 2) return Usage(context, "sync drop LIST SONG...");
  const std::string& list_id = context.args[0];
  SyncSession session(context);
  if (auto problem = CheckListExists(session, list_id)) return Fail(context, *problem);
  if (!list_id.empty() && !service::IsUserPlaylistId(list_id) && !service::IsDeviceListId(list_id)) {
    return Fail(context, "歌曲只能拖到默认列表、用户播放列表或手机列表: " + list_id);
  }
  std::vector<store::MusicRecord> records;
  if (auto problem = ResolveSongs(Rest(context.args, 1), records, false, &session.phone())) {
    return Fail(context, *problem);
  }
  if (!session.Start()) return 1;
  const bool added = session.sync().AddDroppedSongs(list_id, records);
  return session.Finish(added ? 0 : Fail(context, "没有歌曲被添加"));
}

int AddLink(ToolContext& context) {
  if (context.args.size() != 1) return Usage(context, "add-link quillo://add/IDS[:LIST_NAME]");
  SyncSession session(context);
  if (!session.Start()) return 1;
  std::optional<bool> answer_taken;
  session.sync().SetAnswerHook([&answer_taken](bool taken) { answer_taken = taken; });
  using Outcome = service::PlaylistSync::LinkOutcome;
  switch (session.sync().AddFromLink(context.args[0])) {
    case Outcome::kMalformed:
      return session.Finish(
          Fail(context, "链接格式错误: " + Shown(context.args[0], fs::StandardStream::kError)));
    case Outcome::kNoSongs:
      return session.Finish(Fail(context, "链接中没有歌曲"));
    case Outcome::kNothingToSend:
      context.err << "歌曲都已在曲库中\n";
      return session.Finish(0);
    case Outcome::kSent:
      return session.Finish(0);
    case Outcome::kAwaitingAnswer:
      break;
  }
  if (!session.AwaitAnswers()) {
    return session.Finish(Fail(context, "等待服务返回歌曲信息超时"));
  }
  if (!answer_taken.value_or(false)) {
    return session.Finish(Fail(context, "服务没有返回可用的歌曲信息，曲库未改变"));
  }
  return session.Finish(0);
}

}  // namespace

void RegisterSyncCommands(CommandList& commands) {
  commands.push_back({"sync new-playlist", "NAME", NewPlaylist});
  commands.push_back({"sync rename", "LIST NAME", Rename});
  commands.push_back({"sync delete-playlist", "LIST", DeletePlaylist});
  commands.push_back({"sync add-to", "LIST SONG...", AddTo});
  commands.push_back({"sync new-from", "NAME|- SONG...", NewFrom});
  commands.push_back({"sync add-to-library", "SONG...", AddToLibrary});
  commands.push_back({"sync delete-songs", "LIST SONG...", DeleteSongs});
  commands.push_back({"sync remove", "LIST SONG...", Remove});
  commands.push_back({"sync clear", "LIST", Clear});
  commands.push_back({"sync drop", "LIST SONG...", Drop});
  commands.push_back({"add-link", "quillo://add/IDS[:LIST_NAME]", AddLink});
}

}  // namespace quillo::tool
