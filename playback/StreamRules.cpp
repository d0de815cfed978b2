#include "playback/StreamRules.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/text/TextUtil.h"

namespace quillo::playback {

std::int64_t StreamRules::BufferingThreshold(std::int64_t total_bytes) {
  if (total_bytes <= 0) return 0;
  // total × 0.1 truncated, computed in integers so that 2000000 gives exactly 200000.
  return std::min<std::int64_t>(total_bytes / 10, kMaxThresholdBytes);
}

std::int64_t StreamRules::ContinuationBytes(std::int64_t total_bytes) {
  std::int64_t threshold = BufferingThreshold(total_bytes);
  return threshold > 0 ? threshold : kMaxThresholdBytes;
}

StreamRules::RebuildTarget StreamRules::WaitingTarget(double saved_position_s, double duration_s,
                                                      std::int64_t total_bytes,
                                                      std::int64_t base_bytes,
                                                      std::int64_t received_bytes) {
  const std::int64_t b = BufferingThreshold(total_bytes);
  RebuildTarget result{base_bytes + b, b};
  if (duration_s <= 0) return result;
  const auto m =
      static_cast<std::int64_t>(saved_position_s / duration_s * static_cast<double>(total_bytes)) +
      kResumeMarginBytes;
  if (m <= base_bytes + b || m <= received_bytes) return result;
  return {m, m - base_bytes};
}

int StreamRules::Percent(std::int64_t done_bytes, std::int64_t span_bytes) {
  if (span_bytes <= 0) return 100;
  return static_cast<int>(std::clamp<std::int64_t>(done_bytes * 100 / span_bytes, 0, 100));
}

double StreamRules::ExtrapolateDuration(double snapshot_duration_s, std::int64_t snapshot_bytes,
                                        std::int64_t song_bytes) {
  if (snapshot_bytes <= 0 || song_bytes <= snapshot_bytes) return snapshot_duration_s;
  return snapshot_duration_s * static_cast<double>(song_bytes) /
         static_cast<double>(snapshot_bytes);
}

StreamRules::Continuation StreamRules::AtSnapshotEnd(const SnapshotEnd& end) {
  const std::int64_t new_bytes = end.received_bytes - end.snapshot_bytes;
  if (!end.download_ended) {
    return new_bytes >= ContinuationBytes(end.total_bytes) ? Continuation::kContinue
                                                           : Continuation::kWait;
  }
  if (new_bytes > 0) return Continuation::kContinue;
  return end.error ? Continuation::kFail : Continuation::kFinish;
}

bool StreamRules::IsMp3Stream(std::string_view path, std::string_view head) {
  const std::string name = text::ToLowerAscii(path);
  if (text::EndsWith(name, ".mp3")) return true;
  if (text::EndsWith(name, ".wma")) return false;
  if (text::StartsWith(head, "ID3")) return true;
  return head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF &&
         (static_cast<unsigned char>(head[1]) & 0xE0) == 0xE0;
}

namespace {
int WholeSeconds(double seconds) {
  if (std::isnan(seconds) || seconds <= 0) return 0;
  // Converting a double beyond int's range is undefined, so the limit is checked first.
  if (seconds >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(seconds);
}
}  // namespace

PositionChanged StreamRules::PositionReport(double duration_s, double position_s) {
  return {WholeSeconds(position_s), WholeSeconds(duration_s)};
}

}  // namespace quillo::playback
