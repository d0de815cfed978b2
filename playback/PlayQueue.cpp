#include "playback/PlayQueue.h"

#include "platform/fs/FileSystem.h"
#include "playback/LyricStarter.h"
#include "playback/PlayQueueView.h"
#include "playback/Player.h"
#include "playback/SongSelectBox.h"
#include "service/stats/CStatBtnClick.h"
#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/QueueSelection.h"
#include "store/SafeNames.h"
#include "store/StoredPath.h"

namespace quillo::playback {
namespace {

std::string AttributeOf(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

}  // namespace

PlayQueue::PlayQueue(Parts parts) : parts_(std::move(parts)), target_(parts_.loop) {
  parts_.player.AddListener(*this);
}

PlayQueue::~PlayQueue() {
  parts_.player.RemoveListener(*this);
}

std::optional<store::MusicRecord> PlayQueue::ChooseSong(store::QueueSelection& selection,
                                                        QueueCommand command, PlayMode mode,
                                                        bool wrap) {
  if (command == QueueCommand::kRandom || mode == PlayMode::kRandom) return selection.PickRandom();
  if (command == QueueCommand::kNext) return selection.PickNext(wrap);
  return selection.PickPrevious(wrap);
}

void PlayQueue::PlayRecord(const std::optional<store::MusicRecord>& given) {
  if (!given) return;
  const std::string id = AttributeOf(*given, "id");
  if (id.empty() || HasFailed(id)) return;
  store::MusicRecord record = parts_.library.FindMusic(id).value_or(*given);
  // The library's search keys are not the song's attributes (they would reach "t_latest").
  for (auto it = record.begin(); it != record.end();) {
    it = !it->first.empty() && it->first[0] == '_' ? record.erase(it) : std::next(it);
  }

  parts_.view.SetCurrentArtist(AttributeOf(record, "artist_id"), AttributeOf(record, "artist_name"));
  parts_.playlists.SetCurrentItem(id);
  parts_.view.MarkPlayingSong(id);

  std::string title = AttributeOf(record, "name");
  const std::string artist = AttributeOf(record, "artist_name");
  if (!artist.empty()) title += " - " + artist;

  std::string song_path;
  if (!AttributeOf(record, "fileName").empty()) {
    std::optional<std::string> path = parts_.library.MusicPath(record);
    if (path && fs::FileExists(*path)) song_path = *path;
  }
  if (parts_.lyrics) parts_.lyrics->ResetLyricViews();

  if (!song_path.empty()) {
    parts_.player.PlayFile(song_path, id, title);
  } else if (store::IsLocalId(id)) {
    return;  // a local song whose file is gone is silently not played
  } else {
    // Streamed again, a downloaded song whose copy is gone is downloaded again too.
    if (store::SongStatusOf(record) == store::SongStatus::kDownloaded) {
      parts_.library.SetSongStatus(id, store::SongStatus::kWaiting);
    }
    const std::string tryout = AttributeOf(record, "tryout");
    std::string tryout_path;
    if (!tryout.empty()) {
      tryout_path = store::ResolveStoredPath(parts_.store.FolderPath(".cache"), tryout);
    }
    if (!tryout_path.empty() && fs::FileExists(tryout_path)) {
      parts_.player.PlayFile(tryout_path, id, title);
      song_path = tryout_path;
    } else {
      parts_.player.PlayStream(parts_.urls.SongStream(id).url, id, title);
    }
  }

  const std::string list_id = parts_.store.CurrentList();
  if (list_id != store::Playlists::kRecentListId) parts_.playlists.AddRecentlyPlayed(record);
  if (parts_.lyrics) parts_.lyrics->StartLyrics({record, title, song_path, list_id});
  target_.Post([this, title] { parts_.view.ShowNowPlaying(title); });
}

void PlayQueue::PlayNext(bool wrap) {
  PlayRecord(ChooseSong(parts_.selection, QueueCommand::kNext, PlayQueueMode::Current(parts_.store),
                        wrap));
}

void PlayQueue::PlayPrevious(bool wrap) {
  PlayRecord(ChooseSong(parts_.selection, QueueCommand::kPrevious,
                        PlayQueueMode::Current(parts_.store), wrap));
}

void PlayQueue::PlayRandom() {
  PlayRecord(parts_.selection.PickRandom());
}

void PlayQueue::ReplayCurrent() {
  std::optional<store::MusicRecord> current = parts_.selection.PickCurrent();
  if (current) {
    PlayRecord(current);
  } else {
    PlayNext(true);
  }
}

void PlayQueue::PlayListItem(const std::string& list_id, const std::string& music_id) {
  failed_.clear();
  PlayRecord(parts_.selection.SelectListItem(list_id, music_id));
}

void PlayQueue::Play() {
  if (parts_.player.IsPaused()) {
    parts_.player.Resume();
  } else {
    ReplayCurrent();
  }
}

void PlayQueue::Pause() {
  parts_.player.Pause();
}

void PlayQueue::PlaySelected(const std::string& list_id, const store::MusicRecord& record) {
  parts_.playlists.SetCurrentList(list_id);
  PlayRecord(record);
}

std::string PlayQueue::Title() const {
  return parts_.player.GetTitle();
}

void PlayQueue::SetStatus(const std::string& text) {
  parts_.view.SetStatusText(text);
}

void PlayQueue::Report(const char* type, const std::string& music_id, const std::string& title) {
  // Only the service's own songs are reported: a local id names a file on this computer.
  if (parts_.stats == nullptr || music_id.empty() || store::IsLocalId(music_id)) return;
  parts_.stats->ReportEvent(type, music_id, title);
}

void PlayQueue::OnPlayerNotification(const PlayerNotification& notification) {
  if (const auto* state = std::get_if<StateChanged>(&notification)) {
    OnStateChanged(state->state);
  } else if (const auto* position = std::get_if<PositionChanged>(&notification)) {
    parts_.view.ShowTime(position->position_s, position->duration_s);
    if (position->position_s > 0) SetStatus(Title());
  } else if (const auto* volume = std::get_if<VolumeChanged>(&notification)) {
    parts_.view.ShowVolume(volume->volume);
  } else if (const auto* mute = std::get_if<MuteChanged>(&notification)) {
    parts_.view.ShowMuted(mute->muted);
  } else if (const auto* buffering = std::get_if<BufferingProgress>(&notification)) {
    SetStatus(" 正在缓冲(" + std::to_string(buffering->percent) + "%)" + Title());
  }
}

void PlayQueue::OnStateChanged(PlayerState state) {
  switch (state) {
    case PlayerState::kOpening:
      SetStatus(" 连接中..." + Title());
      parts_.view.ResetSeekBar();
      parts_.view.ShowPauseButton(true);
      break;
    case PlayerState::kStopped:
      parts_.view.ClearTimeDisplay();
      parts_.view.ShowPauseButton(false);
      SetStatus(kIdleText);
      if (parts_.lyrics) parts_.lyrics->ClearLyricView(/*reattach=*/false);
      parts_.view.SetTitleMarquee(false);
      break;
    case PlayerState::kPaused:
      parts_.view.ShowPauseButton(false);
      SetStatus(" 已经暂停:" + Title());
      parts_.view.SetTitleMarquee(false);
      break;
    case PlayerState::kFailed:
      parts_.view.SetTitleMarquee(false);
      OnFailed();
      break;
    case PlayerState::kResumed:
      parts_.view.ShowPauseButton(true);
      SetStatus(Title());
      parts_.view.SetTitleMarquee(true);
      break;
    case PlayerState::kStarted:
      OnStarted();
      break;
    case PlayerState::kFinished:
      parts_.view.SetTitleMarquee(false);
      OnFinished();
      break;
    case PlayerState::kPlaying:
    case PlayerState::kBuffering:
      break;
  }
}

void PlayQueue::OnStarted() {
  failed_.clear();
  const std::string title = Title();
  SetStatus(title);
  const std::string id = parts_.player.GetMusicId();
  if (std::optional<store::MusicRecord> record = parts_.library.FindMusic(id)) {
    if (store::SongStatusOf(*record) == store::SongStatus::kFailed) {
      parts_.library.SetSongStatus(id, store::SongStatus::kWaiting);
    }
  }
  Report("play_music", id, title);
}

void PlayQueue::OnFinished() {
  parts_.view.ClearTimeDisplay();
  parts_.view.ShowPauseButton(false);
  SetStatus(kIdleText);
  if (parts_.lyrics) parts_.lyrics->ClearLyricView(/*reattach=*/true);
  switch (PlayQueueMode::Current(parts_.store)) {
    case PlayMode::kAllNoRepeat:
      PlayNext(false);
      break;
    case PlayMode::kAllRepeat:
      PlayNext(true);
      break;
    case PlayMode::kRandom:
      PlayRandom();
      break;
    case PlayMode::kSingleRepeat:
      ReplayCurrent();
      break;
    case PlayMode::kSingleNoRepeat:
    case PlayMode::kUnknown:
      break;
  }
}

void PlayQueue::OnFailed() {
  parts_.view.ClearTimeDisplay();
  const std::string id = parts_.player.GetMusicId();
  const std::string title = Title();
  if (!id.empty()) failed_.insert(id);
  SetStatus(" 不能播放:" + title);
  Report("bad_music", id, title);
  parts_.library.SetSongStatus(id, store::SongStatus::kFailed);

  if (store::IsLocalId(id)) return;
  // A song of a chart or a random list has no library record, but the user's choice to go on
  // holds for it as for library songs (the failed-song set still ends a round of failures).
  if (parts_.store.GetConfigText(store::keys::kOnErrorResumeNext) == "true") {
    PostNext();
    return;
  }
  std::optional<store::MusicRecord> record = parts_.library.FindMusic(id);
  if (!record) return;
  const std::optional<int> choice = parts_.select_box.Select(
      "不能播放歌曲:" + AttributeOf(*record, "name") + "，您希望:",
      {"重试", "播放下一首", "播放下一首并记住我的选择"}, /*preselected=*/2);
  if (!choice) return;
  switch (*choice) {
    case 0:  // retry: the stream is fetched again
      parts_.library.SetMusicAttribute(id, "fileName", std::string_view());
      failed_.erase(id);
      ReplayCurrent();
      break;
    case 1:
      PostNext();
      break;
    case 2:
      PostNext();
      parts_.store.SetConfigText(store::keys::kOnErrorResumeNext, "true");
      break;
    default:
      break;
  }
}

void PlayQueue::PostNext() {
  // As the Next button would be pressed: after this notification has been handled.
  target_.Post([this] { Next(); });
}

}  // namespace quillo::playback
