#pragma once
// LyricAnalyzer holds the lyric of the song that is playing: it loads a lyric file into the
// document, answers which line and word belong to a playback position, re-times the lyric and
// writes a changed LRC file back. It also fetches lyric files from the service (the lyric
// download for the song that starts, and the checked copy that replaces a lyric stored beside a
// song) as the safe downloader's callback, and sends lyric error reports.
//
// There is one for the process, used on the window thread only; the downloader delivers
// OnFinish there too.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lyrics/LyricDocument.h"
#include "service/transfer/SafeDownloaderCallback.h"

namespace quillo::service {
class JSRequestHandler;
}
namespace quillo::store {
class DocumentStore;
}

namespace quillo::lyrics {

class LyricCacheSink;
class LyricPlayerInfo;
class LyricSavePrompt;
class LyricTransfers;

class LyricAnalyzer : public service::SafeDownloaderCallback {
 public:
  // Lyric downloads try each URL this often.
  static constexpr int kLyricAttempts = 8;
  // The error types of a report (sent plus one).
  static constexpr int kErrorTypeCount = 4;

  // What fetching and reporting use. Each may be null: no downloads (they fail at once), no
  // cache entries, no reports, user "0", no question before a download replaces a changed lyric
  // (the change is then dropped). Everything given must outlive the analyzer.
  struct FetchParts {
    LyricTransfers* transfers = nullptr;
    LyricCacheSink* cache = nullptr;
    service::JSRequestHandler* reports = nullptr;
    const store::DocumentStore* store = nullptr;  // who is logged in
    LyricSavePrompt* prompt = nullptr;            // without a parent window
  };

  // Files above this size are refused unread (no lyric comes near it).
  static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{16} << 20;

  // The question SaveIfChanged asks.
  static constexpr const char* kSaveQuestion = "歌词文件已改变，是否要保存？";

  enum class SaveResult {
    kNothingToSave,  // not an ".lrc" file, or not modified
    kDeclined,       // the prompt answered no
    kSaved,
    kWriteFailed,  // the file could not be replaced; the old file is untouched
  };

  // `player` must outlive the analyzer; nullptr behaves as an empty title and no duration (-1).
  explicit LyricAnalyzer(const LyricPlayerInfo* player = nullptr) : player_(player) {}
  ~LyricAnalyzer() override;
  LyricAnalyzer(const LyricAnalyzer&) = delete;
  LyricAnalyzer& operator=(const LyricAnalyzer&) = delete;

  void SetFetchParts(FetchParts parts) { parts_ = parts; }

  // Loads an ".lrc" or ".mrc" file (the last three characters of the path decide, in any case).
  // Returns the new state: loaded (0) or failed (2). Unreadable files, anything but a regular
  // file (a pipe would block the window thread), other extensions,
  // karaoke files shorter than 3 bytes, files above kMaxFileBytes, files beyond the timeline's
  // limits and files without a usable line all fail. Loading clears modified.
  int LoadLyric(const std::string& path, const std::string& music_id);

  // Why the last LoadLyric failed (kNone after a success or before any load).
  enum class LoadProblem {
    kNone,
    kNotALyricName,  // neither ".lrc" nor ".mrc"
    kNotAFile,       // missing, or not a regular file
    kTooLarge,       // above kMaxFileBytes
    kUnreadable,
    kTooManyLines,   // past LyricTimeline::kMaxLines
    kTooMuchText,    // past LyricTimeline::kMaxTextBytes
    kNoLines,        // nothing usable in it
  };
  LoadProblem load_problem() const { return load_problem_; }
  // The problem in words, for messages ("" for kNone).
  static std::string_view ProblemText(LoadProblem problem);

  // Before another song: a running lyric download is cancelled (its partial file deleted), and
  // the document holds nothing: state -1, modified, offset, lines and header lines cleared, and
  // no music id, so that a late checked copy of the previous song is not loaded for this one.
  // A running checked-lyric download is left to finish.
  void Reset();
  int GetState() const { return document_.state; }
  // A lyric loaded before the player knew the song's duration has a guessed end for its last
  // line; once the duration is known this sets that end to it (once). Cheap: the views call it
  // with every position update.
  void FollowDuration();
  bool last_end_guessed() const { return last_end_guessed_; }

  std::optional<LyricPosition> LocateLine(std::int64_t position_ms, bool skip_empty) const {
    return document_.LocateLine(position_ms, skip_empty);
  }
  const LyricLine* FindLine(std::int64_t position_ms) const {
    return document_.FindLine(position_ms);
  }
  bool AdjustTiming(int delta_ms, int kind, std::optional<std::size_t> line) {
    return document_.AdjustTiming(delta_ms, kind, line);
  }
  std::string GetPlainText() const { return document_.GetPlainText(); }

  // For a modified ".lrc" lyric: asks kSaveQuestion and on "yes" replaces the file atomically
  // with the document's LRC text. A failed write is reported, not hidden. modified stays set.
  SaveResult SaveIfChanged(LyricSavePrompt& prompt);

  const LyricDocument& document() const { return document_; }

  // ---- Fetching --------------------------------------------------------------------------
  // Replaces the document with a download of the song's lyric: a changed lyric is offered for
  // saving, the document is reset, state 3 and the music id are set, and `url` is fetched into
  // target_path + ".part" (no size limits, kLyricAttempts), which replaces `target_path` only
  // once it arrived whole; a failed download leaves `target_path` as it was. The extension of
  // the target is kept: the service's lyric URLs carry none, and the loader tells LRC from
  // karaoke files by it. When the download cannot start, state 4.
  void DownloadLyric(const std::string& music_id, const std::string& url,
                     const std::string& target_path);
  // Fetches the checked copy of the lyric stored in `lyric_path` into lyric_path + ".tmp";
  // on success the copy replaces the file and is loaded if the song is still the document's
  // (and the shown lyric has no unsaved changes). The lyric shown is not touched meanwhile; a
  // failed or empty copy leaves the shown lyric and the file as they are. A checked-lyric
  // download still running (its copy would go to the same kind of ".tmp" name) is cancelled.
  void RefreshCheckedLyric(const std::string& music_id, const std::string& url,
                           const std::string& lyric_path);
  // The download manager's answer to a queued lyric: when `music_id` is the player's current
  // song, loads the file, or without one marks the download as failed (state 4). Otherwise
  // nothing.
  void LoadIfCurrent(const std::string& music_id, const std::optional<std::string>& file);
  // The download manager queued the song's lyric: state 3 for `music_id`.
  void MarkQueued(const std::string& music_id);

  // The end of a lyric transfer: the lyric download (success: entered into the cache and
  // loaded; failure: state 4) or the checked copy (see RefreshCheckedLyric). Other ids are
  // ignored. OnFinish passes its record here; tests call it directly.
  void OnTransferEnded(const std::string& id, bool succeeded, const std::string& file);
  void OnFinish(service::TransferRecord& record) override;

  const std::string& lyric_download_id() const { return lyric_download_id_; }
  const std::string& refresh_download_id() const { return refresh_download_id_; }
  const std::string& refresh_music_id() const { return refresh_music_id_; }

  // ---- Error reports ---------------------------------------------------------------------
  // Sends one report for the document's song: error type 0..3 (sent as 1..4), the comment and
  // the logged-in user ("0" when nobody is). Fire and forget. False (nothing sent) for a type
  // out of range, without a request handler, or when the document names no song.
  bool ReportLyricError(int error_type, std::string_view comment);

 private:
  void ClearDocument();
  void FinishLyricDownload(bool succeeded, const std::string& file);
  void FinishCheckedLyric(bool succeeded, const std::string& file);

  bool LoadLrc(const std::string& bytes);
  bool LoadKaraoke(std::string bytes);

  const LyricPlayerInfo* player_;
  FetchParts parts_;
  LyricDocument document_;
  bool last_end_guessed_ = false;
  LoadProblem load_problem_ = LoadProblem::kNone;
  std::string lyric_download_id_;
  std::string lyric_download_target_;  // the final name; the transfer writes it + ".part"
  std::string refresh_download_id_;
  std::string refresh_music_id_;
};

}  // namespace quillo::lyrics
