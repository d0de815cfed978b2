// play FILE | --song ID [--list LIST_ID] [--balance B]: plays one song headless to the configured
// audio sink ($QUILLO_AUDIO_SINK, a gst-launch description; autoaudiosink when unset) through the
// program's player, printing every player notification as it arrives. The player's graph is the
// program's: the saved equaliser gains ("sorvel.eq.value") and the stored volume and mute apply;
// the balance (-100 left only .. 100 right only, which the program never stores) is B, else 0. A service song is
// streamed through the cache folder exactly as the program does. Exit 0 when the song played to
// its end, 1 (with the status text) when it could not be played.
#include <chrono>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>

#include "platform/fs/FileSystem.h"
#include "platform/loop/MainLoop.h"
#include "platform/media/GstMediaGraphFactory.h"
#include "platform/text/TextUtil.h"
#include "playback/AudioLevels.h"
#include "playback/MediaPlayer.h"
#include "playback/PlayCache.h"
#include "playback/PlayerNotification.h"
#include "service/api/ServiceFileUrls.h"
#include "service/runtime/ServiceRuntime.h"
#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "tools/quillo-tool/FileArgument.h"
#include "tools/quillo-tool/ToolCommand.h"
#include "tools/quillo-tool/ToolRuntime.h"

namespace quillo::tool {
namespace {

constexpr const char* kUsage =
    "usage: quillo-tool play FILE | --song ID [--list LIST_ID] [--balance -100..100]\n";

const char* StateName(playback::PlayerState state) {
  switch (state) {
    case playback::PlayerState::kOpening:
      return "opening";
    case playback::PlayerState::kPlaying:
      return "playing";
    case playback::PlayerState::kStopped:
      return "stopped";
    case playback::PlayerState::kBuffering:
      return "buffering";
    case playback::PlayerState::kPaused:
      return "paused";
    case playback::PlayerState::kFailed:
      return "failed";
    case playback::PlayerState::kResumed:
      return "resumed";
    case playback::PlayerState::kStarted:
      return "started";
    case playback::PlayerState::kFinished:
      return "finished";
  }
  return "unknown";
}

std::string MinutesSeconds(int seconds) {
  return std::to_string(seconds / 60) + ":" + (seconds % 60 < 10 ? "0" : "") +
         std::to_string(seconds % 60);
}

// Prints each notification and ends the loop at the song's end or failure. Window thread.
class PlayPrinter : public playback::PlayerListener {
 public:
  PlayPrinter(loop::MainLoop& loop, std::ostream& out) : loop_(loop), out_(out) {}

  void OnPlayerNotification(const playback::PlayerNotification& n) override {
    if (const auto* changed = std::get_if<playback::StateChanged>(&n)) {
      const playback::PlayerState state = changed->state;
      out_ << "state " << static_cast<int>(state) << " " << StateName(state) << "\n";
      if (state == playback::PlayerState::kFinished || state == playback::PlayerState::kFailed) {
        result = state == playback::PlayerState::kFinished ? 0 : 1;
        loop_.Quit();
      }
    } else if (const auto* position = std::get_if<playback::PositionChanged>(&n)) {
      out_ << "position " << MinutesSeconds(position->position_s) << " / "
           << MinutesSeconds(position->duration_s) << "\n";
    } else if (const auto* volume = std::get_if<playback::VolumeChanged>(&n)) {
      out_ << "volume " << volume->volume << "\n";
    } else if (const auto* mute = std::get_if<playback::MuteChanged>(&n)) {
      out_ << "mute " << (mute->muted ? 1 : 0) << "\n";
    } else if (const auto* buffering = std::get_if<playback::BufferingProgress>(&n)) {
      out_ << "buffering " << buffering->percent << "%\n";
    }
    out_.flush();
  }

  std::optional<int> result;

 private:
  loop::MainLoop& loop_;
  std::ostream& out_;
};

// The title the program shows: "name - artist", or the name, or the id.
std::string SongTitle(const store::MusicRecord* record, const std::string& fallback) {
  if (record == nullptr) return fallback;
  auto name = record->find("name");
  auto artist = record->find("artist_name");
  std::string title = name != record->end() && !name->second.empty() ? name->second : fallback;
  if (artist != record->end() && !artist->second.empty()) title += " - " + artist->second;
  return title;
}

int Play(ToolContext& context) {
  std::string file;
  std::string song_id;
  std::string list_id;
  bool has_list = false;
  int balance = 0;
  for (std::size_t i = 0; i < context.args.size(); ++i) {
    const std::string& arg = context.args[i];
    if (arg == "--song" && i + 1 < context.args.size()) {
      song_id = context.args[++i];
    } else if (arg == "--list" && i + 1 < context.args.size()) {
      list_id = context.args[++i];
      has_list = true;
    } else if (arg == "--balance" && i + 1 < context.args.size()) {
      const std::optional<int> value = text::LeadingNumber(context.args[++i]);
      if (!value || *value < -100 || *value > 100) {
        context.err << kUsage;
        return 1;
      }
      balance = *value;
    } else if (file.empty() && arg.rfind("--", 0) != 0) {
      file = arg;
    } else {
      context.err << kUsage;
      return 1;
    }
  }
  if (file.empty() == song_id.empty() || (has_list && song_id.empty())) {
    context.err << kUsage;
    return 1;
  }
  store::StoreRuntime* runtime = store::StoreRuntime::Instance();
  if (runtime == nullptr) {
    context.err << "quillo-tool: no data folder\n";
    return 1;
  }
  store::DocumentStore& store = *context.store;
  std::string url;
  std::string title = file.empty() ? song_id : fs::BaseName(file);
  // The service (when it is the embedded one) stops after the player and the transfers are done.
  ToolRuntime tool(context);
  if (!song_id.empty()) {
    const std::optional<service::ServiceEndpoints>& endpoints = tool.Endpoints();
    if (!endpoints) return 1;
    std::optional<store::MusicRecord> record = runtime->library().FindMusic(song_id);
    title = SongTitle(record ? &*record : nullptr, song_id);
    url = service::ServiceFileUrls(*endpoints, store.ClientId()).SongStream(song_id).url;
    if (has_list) {
      // As the play queue does when a list's song is played.
      store.SetConfigText("module.music.currentplaylist", list_id);
      store.SetConfigText("module.music.currentplay", song_id);
    }
  } else if (!CheckFileArgument(file, FileUse::kRead, context.err)) {
    return 1;
  }

  loop::MainLoop& loop = tool.loop();
  audio::GstMediaGraphFactory graphs;
  playback::PlayCache cache(store, runtime->library());
  PlayPrinter printer(loop, context.out);
  int status = 1;
  {
    playback::MediaPlayer player(
        {loop, graphs, tool.service().downloader(), store, &runtime->library(), &cache});
    player.SetMessageBoxHook(
        [&context](const std::string& text) { context.err << "quillo-tool: " << text << "\n"; });
    player.AddListener(printer);
    // The stored volume and mute, as the program's play surface gives them.
    player.SetVolume(store.GetConfigInt(store::keys::kVolume, playback::AudioLevels::kDefaultVolume));
    player.SetMute(store.ConfigEquals(store::keys::kMute, "true"));
    player.SetBalance(balance);
    const bool begun =
        song_id.empty() ? player.PlayFile(file, "", title) : player.PlayStream(url, song_id, title);
    // A failure was posted; the loop delivers it and quits.
    (void)begun;
    loop.Run();
    player.RemoveListener(printer);
    status = printer.result.value_or(1);
  }
  tool.service().Shutdown();
  if (status != 0) context.err << " 不能播放:" << title << "\n";
  return status;
}

}  // namespace

void RegisterPlayCommands(CommandList& commands) {
  commands.push_back({"play", "FILE | --song ID [--list LIST_ID] [--balance B]", Play});
}

}  // namespace quillo::tool
