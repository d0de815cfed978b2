// downloads run: downloads the library's waiting songs as the program does, until none waits
// and no transfer runs; one line per song on standard error, the status counts on standard
// output.
#include <chrono>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "downloads/DownloadListener.h"
#include "downloads/DownloadManager.h"
#include "media/MediaTagAccess.h"
#include "platform/loop/MainLoop.h"
#include "platform/loop/Timer.h"
#include "service/runtime/ServiceRuntime.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/SafeNames.h"
#include "store/StoreRuntime.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"
#include "tools/quillo-tool/ToolRuntime.h"

namespace quillo::tool {
namespace {

// How often the command looks whether the work is done (and saves what changed).
constexpr std::chrono::milliseconds kCheckPeriod{100};

std::string AttributeOf(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

// One line per finished song; remembers that the store changed.
class SongProgress : public downloads::DownloadListener {
 public:
  SongProgress(store::MusicLibrary& library, std::ostream& err) : library_(library), err_(err) {}

  void OnSongFinished(const std::string& music_id, bool filed) override {
    std::optional<store::MusicRecord> record = library_.FindMusic(music_id);
    const std::string artist = record ? AttributeOf(*record, "artist_name") : std::string();
    const std::string title = record ? AttributeOf(*record, "name") : music_id;
    err_ << Shown("下载 " + artist + " - " + title + ": " + (filed ? "完成" : "失败"),
                  fs::StandardStream::kError)
         << std::endl;
    changed = true;
  }

  bool changed = false;

 private:
  store::MusicLibrary& library_;
  std::ostream& err_;
};

// Songs the scheduler would still hand out: waiting and not paused.
bool AnySongWaiting(store::Playlists& playlists) {
  for (const store::MusicRecord& record : playlists.DownloadQueueRecords()) {
    if (store::SongStatusOf(record) == store::SongStatus::kWaiting &&
        AttributeOf(record, "paused") != "true") {
      return true;
    }
  }
  return false;
}

int DownloadsRun(ToolContext& context) {
  if (!context.args.empty()) {
    context.err << "usage: quillo-tool downloads run\n";
    return 1;
  }
  // The session of an earlier login command goes on.
  ToolRuntime tool(context);
  if (!tool.Endpoints()) return 1;
  store::StoreRuntime& runtime = *store::StoreRuntime::Instance();
  store::MusicLibrary& library = runtime.library();
  loop::MainLoop& loop = tool.loop();

  media::MediaTagAccess tags;
  SongProgress progress(library, context.err);
  int status = 0;
  {
    downloads::DownloadManager manager(loop, runtime, tool.service().downloader(),
                                       tool.service().endpoints());
    loop::Subscription tag_access = library.AttachTagAccess(tags);
    loop::Subscription stopper = library.AttachDownloadStopper(manager);
    loop::Subscription listening = manager.AddListener(progress);
    manager.Start();
    manager.Schedule();

    loop::Timer checks(loop);
    checks.Start(kCheckPeriod, [&] {
      // Saved as it goes: a run that is killed keeps every song it filed.
      if (progress.changed) {
        progress.changed = false;
        context.store->SaveIfDirty();
      }
      if (manager.active_count() == 0 && !AnySongWaiting(runtime.playlists())) loop.Quit();
    });
    loop.Run();
    checks.Stop();
    manager.CancelAll();
    tool.service().Shutdown();
  }

  using store::SongStatus;
  std::map<SongStatus, int> counts;
  for (const store::MusicRecordPtr& record : library.AllRecords()) {
    const std::string id = AttributeOf(*record, "id");
    if (store::IsLocalId(id)) continue;
    ++counts[store::SongStatusOf(*record)];
  }
  context.out << "waiting " << counts[SongStatus::kWaiting] << ", downloading "
              << counts[SongStatus::kDownloading] << ", downloaded "
              << counts[SongStatus::kDownloaded] << ", failed " << counts[SongStatus::kFailed]
              << "\n";
  if (counts[SongStatus::kFailed] != 0) status = 1;
  return status;
}

}  // namespace

void RegisterDownloadCommands(CommandList& commands) {
  commands.push_back({"downloads run", "", DownloadsRun});
}

}  // namespace quillo::tool
