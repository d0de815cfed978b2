// LyricAnalyzer's fetching and reporting: the lyric download, the checked copy, the download
// manager's answers and the error report.
#include <utility>

#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricCacheSink.h"
#include "lyrics/LyricPlayerInfo.h"
#include "lyrics/LyricSavePrompt.h"
#include "lyrics/LyricTransfers.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceRequests.h"
#include "service/transfer/TransferRecord.h"
#include "store/DocumentStore.h"

namespace quillo::lyrics {
namespace {

constexpr std::string_view kCheckedSuffix = ".tmp";
constexpr std::string_view kPartSuffix = ".part";

// Moves `from` over `to`; when the move fails, copies it over and deletes it. True when `to`
// now holds the bytes; `from` is gone either way.
bool MoveOver(const std::string& from, const std::string& to) {
  if (fs::RenamePath(from, to)) return true;
  const std::optional<std::string> bytes = fs::ReadWholeFile(from);
  const bool copied = bytes && fs::WriteFileAtomic(to, *bytes);
  fs::RemoveFile(from);
  return copied;
}

}  // namespace

LyricAnalyzer::~LyricAnalyzer() {
  // The downloader must not call back into a destroyed analyzer.
  if (parts_.transfers == nullptr) return;
  if (!lyric_download_id_.empty()) parts_.transfers->Cancel(lyric_download_id_);
  if (!refresh_download_id_.empty()) parts_.transfers->Cancel(refresh_download_id_);
}

void LyricAnalyzer::Reset() {
  // A lyric still downloading belongs to the previous song: left running, it would be loaded as
  // this song's lyric.
  if (!lyric_download_id_.empty()) {
    if (parts_.transfers != nullptr) parts_.transfers->Cancel(lyric_download_id_);
    lyric_download_id_.clear();
    lyric_download_target_.clear();
  }
  ClearDocument();
  document_.music_id.clear();
}

void LyricAnalyzer::DownloadLyric(const std::string& music_id, const std::string& url,
                                  const std::string& target_path) {
  if (parts_.prompt != nullptr) SaveIfChanged(*parts_.prompt);
  Reset();
  document_.state = LyricDocument::kStateDownloading;
  document_.music_id = music_id;
  if (parts_.transfers != nullptr) {
    // The answer goes to a side name first: the downloader truncates its target when data
    // arrives and deletes it when the transfer then fails, which would cost an existing (if
    // unloadable) lyric file its contents.
    lyric_download_target_ = target_path;
    lyric_download_id_ =
        parts_.transfers->Download(url, target_path + std::string(kPartSuffix), this,
                                   /*append_extension=*/false, 0, 0, kLyricAttempts);
  }
  if (lyric_download_id_.empty()) document_.state = LyricDocument::kStateDownloadFailed;
}

void LyricAnalyzer::RefreshCheckedLyric(const std::string& music_id, const std::string& url,
                                        const std::string& lyric_path) {
  if (parts_.transfers == nullptr) return;
  // Two copies written to one ".tmp" name at once would mix their bytes.
  if (!refresh_download_id_.empty()) parts_.transfers->Cancel(refresh_download_id_);
  refresh_music_id_ = music_id;
  refresh_download_id_ =
      parts_.transfers->Download(url, lyric_path + std::string(kCheckedSuffix), this,
                                 /*append_extension=*/false, 0, 0, kLyricAttempts);
  if (refresh_download_id_.empty()) refresh_music_id_.clear();
}

void LyricAnalyzer::LoadIfCurrent(const std::string& music_id,
                                  const std::optional<std::string>& file) {
  if (music_id.empty() || player_ == nullptr || player_->CurrentMusicId() != music_id) return;
  if (file) {
    LoadLyric(*file, music_id);
  } else {
    document_.state = LyricDocument::kStateDownloadFailed;
  }
}

void LyricAnalyzer::MarkQueued(const std::string& music_id) {
  document_.state = LyricDocument::kStateDownloading;
  document_.music_id = music_id;
}

void LyricAnalyzer::OnFinish(service::TransferRecord& record) {
  OnTransferEnded(record.id(), record.status() == service::TransferStatus::kFinished,
                  record.target_path());
}

void LyricAnalyzer::OnTransferEnded(const std::string& id, bool succeeded,
                                    const std::string& file) {
  if (id.empty()) return;
  if (id == lyric_download_id_) {
    FinishLyricDownload(succeeded, file);
  } else if (id == refresh_download_id_) {
    FinishCheckedLyric(succeeded, file);
  }
}

void LyricAnalyzer::FinishLyricDownload(bool succeeded, const std::string& file) {
  lyric_download_id_.clear();
  const std::string target = std::move(lyric_download_target_);
  lyric_download_target_.clear();
  if (!succeeded || file != target + std::string(kPartSuffix) || !MoveOver(file, target)) {
    document_.state = LyricDocument::kStateDownloadFailed;
    return;
  }
  const std::string music_id = document_.music_id;
  if (parts_.cache != nullptr) parts_.cache->AddLyric(music_id, target);
  LoadLyric(target, music_id);
}

void LyricAnalyzer::FinishCheckedLyric(bool succeeded, const std::string& file) {
  const std::string music_id = refresh_music_id_;
  refresh_download_id_.clear();
  refresh_music_id_.clear();
  if (!succeeded || !text::EndsWith(file, kCheckedSuffix)) return;
  const std::string final_path = file.substr(0, file.size() - kCheckedSuffix.size());
  // An empty answer is no lyric: it must not wipe the one on disk.
  const std::optional<std::uint64_t> size = fs::FileSize(file);
  if (!size || *size == 0) {
    fs::RemoveFile(file);
    return;
  }
  if (!MoveOver(file, final_path)) return;
  // Unsaved re-timing of the shown lyric is the user's: reloading would drop it unasked.
  if (!music_id.empty() && music_id == document_.music_id && !document_.modified) {
    LoadLyric(final_path, music_id);
  }
}

bool LyricAnalyzer::ReportLyricError(int error_type, std::string_view comment) {
  if (error_type < 0 || error_type >= kErrorTypeCount || parts_.reports == nullptr) return false;
  // Without a song the service could not tell what the report is about.
  if (document_.music_id.empty()) return false;
  const std::string user_id = parts_.store != nullptr ? parts_.store->CurrentUser() : std::string();
  parts_.reports->Send(
      service::ServiceRequests::LyricErrorReport(document_.music_id, error_type, comment, user_id));
  return true;
}

}  // namespace quillo::lyrics
