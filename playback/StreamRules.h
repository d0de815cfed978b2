#pragma once
// The numbers behind streaming a song while it downloads: when the first graph is built, when a
// graph that waits for data is rebuilt, how long the whole song lasts, and what happens when a
// graph reaches the end of the snapshot it was built over. Pure functions over plain values, so
// that every rule can be checked without a graph or a download. Any thread.
#include <cstdint>
#include <string_view>

#include "playback/PlayerNotification.h"

namespace quillo::playback {

class StreamRules {
 public:
  // The most bytes the buffering threshold ever asks for.
  static constexpr std::int64_t kMaxThresholdBytes = 300000;
  // Bytes beyond the resume point that a rebuild wants on disk.
  static constexpr std::int64_t kResumeMarginBytes = 300000;

  // b = min(total × 0.1, 300000), truncated; 0 when no length was announced (the first chunk
  // then starts the song).
  static std::int64_t BufferingThreshold(std::int64_t total_bytes);

  // The new data a graph that reached the end of its snapshot needs before it continues while
  // the download runs: the buffering threshold, or 300000 bytes when no length was announced
  // (a threshold of 0 would rebuild at every chunk, each graph playing a fraction of a second).
  static std::int64_t ContinuationBytes(std::int64_t total_bytes);

  // While waiting for data: the received size at which the graph is rebuilt, and the b the
  // percentages are counted against. m = savedPosition / duration × total + 300000 (ignored when
  // the duration is 0); when m ≤ base + b or m ≤ received the target is base + b, otherwise m
  // (and b becomes m − base).
  struct RebuildTarget {
    std::int64_t target_bytes = 0;
    std::int64_t span_bytes = 0;  // the b of the percentages
  };
  static RebuildTarget WaitingTarget(double saved_position_s, double duration_s,
                                     std::int64_t total_bytes, std::int64_t base_bytes,
                                     std::int64_t received_bytes);

  // (received − base) × 100 / span, within 0..100.
  static int Percent(std::int64_t done_bytes, std::int64_t span_bytes);

  // A snapshot's duration scaled to the whole song: snapshot_duration × song_bytes /
  // snapshot_bytes. A song length that is unknown (0) or smaller than the snapshot counts as the
  // snapshot's own length.
  static double ExtrapolateDuration(double snapshot_duration_s, std::int64_t snapshot_bytes,
                                    std::int64_t song_bytes);

  // What the graph of an online song did when it stopped at the end of its snapshot.
  struct SnapshotEnd {
    bool download_ended = false;  // the download finished successfully
    std::int64_t received_bytes = 0;
    std::int64_t snapshot_bytes = 0;  // what the stopped graph's snapshot held
    std::int64_t total_bytes = 0;     // announced length, 0 when none
    bool error = false;               // the graph stopped with a streaming error
  };
  enum class Continuation {
    kContinue,  // rebuild over a new snapshot now and seek to the stop
    kWait,      // wait for more data (the waiting state), then rebuild
    kFinish,    // the song has ended
    kFail,      // the complete file cannot be played on
  };
  // The end-of-snapshot rule:
  //  - while the download runs: continue at once when at least ContinuationBytes(total) have
  //    arrived beyond the snapshot, else wait;
  //  - after the download ended: continue over the complete file whenever it holds bytes the
  //    snapshot did not, however close the stop is to the (estimated) duration, so that the
  //    song's last seconds are heard; otherwise the song is finished (failed, after an error).
  // It never answers kContinue without new data, so a graph cannot end and rebuild in a loop.
  static Continuation AtSnapshotEnd(const SnapshotEnd& end);

  // Whether a streamed file is played by the hand-built MP3 graph over snapshots: by its name
  // (".mp3" yes, ".wma" no) and, for a name without an audio extension (the service's stream
  // URL gives none), by its first bytes: an ID3v2 tag or an MPEG audio frame sync.
  static bool IsMp3Stream(std::string_view path, std::string_view head);

  // The position report: both in whole seconds, truncated; a negative or unreadable (NaN) value
  // reads as 0, and one beyond the range of int as its largest value.
  static PositionChanged PositionReport(double duration_s, double position_s);
};

}  // namespace quillo::playback
