#include "service/transfer/TransferWorker.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "service/transfer/TransferRules.h"

namespace quillo::service {

TransferWorker::TransferWorker(std::shared_ptr<TransferRecord> record, TransferClient& client,
                               TransferHandOver& hand_over, TransferSteps& steps,
                               std::chrono::milliseconds receive_timeout)
    : record_(std::move(record)),
      client_(client),
      hand_over_(hand_over),
      steps_(steps),
      receive_timeout_(receive_timeout) {}

void TransferWorker::Run() {
  SetStatus(TransferStatus::kStarting);
  record_->total_size_ = 0;
  const int attempts = std::max(1, record_->attempts());
  int tries = 0;
  std::size_t next_mirror = 0;
  bool over = false;
  while (!over) {
    if (record_->cancelled()) {
      SetStatus(TransferStatus::kCancelled);
      break;
    }
    if (tries >= attempts) {
      if (next_mirror >= mirrors_.size()) {
        SetStatus(TransferStatus::kFailed);
        break;
      }
      const MirrorSource source = ResolveMirror(mirrors_[next_mirror++]);
      xor_bytes_ = source.xor_bytes;
      mirror_extension_ = source.extension;
      record_->total_size_ = 0;
      if (!HandOver(TransferStep::kDiscard, [&] { steps_.Discard(*record_, source.url); })) {
        SetStatus(TransferStatus::kCancelled);
        break;
      }
      SetStatus(TransferStatus::kStarting);
      tries = 0;
      continue;
    }
    switch (Attempt()) {
      case Next::kRetry:
        ++tries;
        break;
      case Next::kNextUrl:
        SetStatus(TransferStatus::kFailed);
        tries = attempts;
        break;
      case Next::kMirrors:
        tries = attempts;
        next_mirror = 0;
        break;
      case Next::kEnd:
        over = true;
        break;
    }
  }
  // Cancelled transfers were already ended on the window thread; the step then does not run.
  HandOver(TransferStep::kFinish, [&] { steps_.Finish(*record_); });
}

TransferWorker::Next TransferWorker::Attempt() {
  static const FormParams kNoParameters;
  const FormParams* form = nullptr;
  if (record_->is_request()) {
    form = record_->parameters() ? &*record_->parameters() : &kNoParameters;
  }
  TransferClient::Result sent =
      client_.Send(record_->url(), Received(), form, record_->abort_, receive_timeout_);
  if (record_->cancelled()) {
    SetStatus(TransferStatus::kCancelled);
    return Next::kEnd;
  }
  if (sent.failed) return Next::kRetry;
  if (!sent.response) return Next::kNextUrl;
  TransferResponse& response = *sent.response;

  if (!response.HeaderValues("SorvelList").empty()) return ReadMirrorList(response);

  response.SetReceiveTimeout(receive_timeout_);
  const unsigned status = response.Status();
  if (status < 200 || status > 299) return Next::kNextUrl;
  if (auto checked = CheckLength(response)) return *checked;

  SetStatus(TransferStatus::kReceiving);
  std::string target = record_->target_path();
  if (!target.empty() && record_->append_extension()) {
    target = ReextendTarget(target, xor_bytes_ ? mirror_extension_ : UrlExtension(record_->url()));
  }
  bool file_open = false;
  if (!HandOver(TransferStep::kOpen, [&] {
        steps_.Open(*record_, target);
        file_open = TransferSteps::HasOpenFile(*record_);
      })) {
    SetStatus(TransferStatus::kCancelled);
    return Next::kEnd;
  }
  if (record_->cancelled()) {  // by OnStart
    SetStatus(TransferStatus::kCancelled);
    return Next::kEnd;
  }
  if (!target.empty() && !file_open) {
    SetStatus(TransferStatus::kFailed);
    return Next::kEnd;
  }
  return ReadBody(response);
}

TransferWorker::Next TransferWorker::ReadMirrorList(TransferResponse& response) {
  // Only the first answer may be a list: a mirror answering with another list would send the
  // transfer round in circles.
  if (following_mirrors_) return Next::kNextUrl;
  std::string body;
  body.reserve(1024);
  buffer_.resize(kReadSize);
  while (true) {
    if (record_->cancelled()) {
      SetStatus(TransferStatus::kCancelled);
      return Next::kEnd;
    }
    const std::ptrdiff_t count = response.Read(buffer_.data(), kReadSize);
    if (count < 0) return Next::kRetry;
    if (count == 0) break;
    if (body.size() + static_cast<std::size_t>(count) > kMirrorListLimit) {
      SetStatus(TransferStatus::kFailed);
      return Next::kEnd;
    }
    body.append(buffer_.data(), static_cast<std::size_t>(count));
  }
  mirrors_ = ParseMirrorList(std::move(body));
  if (mirrors_.empty()) {
    SetStatus(TransferStatus::kFailed);
    return Next::kEnd;
  }
  following_mirrors_ = true;
  return Next::kMirrors;
}

// No value: the answer's length is acceptable and its body is read.
std::optional<TransferWorker::Next> TransferWorker::CheckLength(TransferResponse& response) {
  std::optional<std::uint64_t> length;
  for (const std::string& value : response.HeaderValues("Content-Length")) {
    const auto parsed = ParseContentLength(value);
    if (!parsed || (length && *length != *parsed)) return Next::kNextUrl;
    length = parsed;
  }
  bool established = false;
  if (Received() != 0) {
    const std::vector<std::string> ranges = response.HeaderValues("Content-Range");
    if (ranges.size() != 1) return Next::kNextUrl;
    const auto range = ParseContentRange(ranges.front());
    if (!range || range->first != Received() || range->total != record_->total_size())
      return Next::kNextUrl;
    if (length && *length != range->last - range->first + 1) return Next::kNextUrl;
    established = true;
  } else if (length) {
    record_->total_size_ = *length;
    established = true;
  }
  const std::uint64_t total = record_->total_size();
  const std::int64_t min_size = record_->min_size();
  const std::int64_t max_size = record_->max_size();
  if (established && total == 0) {
    SetStatus(min_size < 1 ? TransferStatus::kFinished : TransferStatus::kFailed);
    return Next::kEnd;
  }
  if (established || record_->check_size_always()) {
    if ((min_size > 0 && total < static_cast<std::uint64_t>(min_size)) ||
        (max_size > 0 && total > static_cast<std::uint64_t>(max_size))) {
      return Next::kNextUrl;
    }
  }
  return std::nullopt;
}

TransferWorker::Next TransferWorker::ReadBody(TransferResponse& response) {
  buffer_.resize(kReadSize * kBatchChunks);
  const std::uint64_t total = record_->total_size();
  const std::int64_t min_size = record_->min_size();
  const std::int64_t max_size = record_->max_size();
  struct Chunk {
    std::size_t offset;
    std::size_t size;
  };
  std::vector<Chunk> chunks;
  chunks.reserve(kBatchChunks);
  while (true) {
    if (record_->cancelled()) {
      SetStatus(TransferStatus::kCancelled);
      return Next::kEnd;
    }
    // Gather the reads that need no waiting, kReadSize at a time, so that a fast connection
    // costs one hand-over per batch instead of one per read. A chunk is never held back while
    // the worker waits for the network: gathering stops when nothing more has arrived.
    chunks.clear();
    std::size_t filled = 0;
    bool read_failed = false;
    bool at_end = false;
    const auto batch_start = std::chrono::steady_clock::now();
    while (true) {
      const std::ptrdiff_t count = response.Read(buffer_.data() + filled, kReadSize);
      if (count < 0) {
        read_failed = true;
        break;
      }
      const auto size = static_cast<std::size_t>(count);
      if (size == 0) {
        at_end = true;
        break;
      }
      if (xor_bytes_) XorMirrorBytes(buffer_.data() + filled, size);
      chunks.push_back({filled, size});
      filled += size;
      if (total > 0 && Received() + filled >= total) break;
      if (filled + kReadSize > buffer_.size() || record_->cancelled()) break;
      if (std::chrono::steady_clock::now() - batch_start >= kBatchWindow) break;
      if (response.Available() == 0) break;
    }
    if (record_->cancelled()) {
      SetStatus(TransferStatus::kCancelled);
      return Next::kEnd;
    }
    // Each chunk is its own write step: written, counted and reported (OnData) in order.
    enum class Stop { kNone, kOverflow, kShortWrite, kCancelled };
    Stop stop = Stop::kNone;
    if (!chunks.empty() && !HandOver(TransferStep::kWrite, [&] {
          for (const Chunk& chunk : chunks) {
            if (record_->cancelled()) {
              stop = Stop::kCancelled;
              return;
            }
            // Never write past what the answer announced or the caller allows.
            const std::uint64_t after = Received() + chunk.size;
            if ((total > 0 && after > total) ||
                (max_size > 0 && after > static_cast<std::uint64_t>(max_size))) {
              stop = Stop::kOverflow;
              return;
            }
            const std::size_t taken =
                steps_.Write(*record_, std::string_view(buffer_.data() + chunk.offset, chunk.size));
            if (taken != chunk.size) {
              stop = Stop::kShortWrite;
              return;
            }
          }
        })) {
      SetStatus(TransferStatus::kCancelled);
      return Next::kEnd;
    }
    switch (stop) {
      case Stop::kNone:
        break;
      case Stop::kOverflow:
        return Next::kNextUrl;
      case Stop::kShortWrite:
        SetStatus(TransferStatus::kFailed);
        return Next::kEnd;
      case Stop::kCancelled:
        SetStatus(TransferStatus::kCancelled);
        return Next::kEnd;
    }
    if (total > 0 && Received() >= total) {
      if (static_cast<std::int64_t>(Received()) >= min_size) {
        SetStatus(TransferStatus::kFinished);
        return Next::kEnd;
      }
      return Next::kNextUrl;
    }
    if (read_failed) return Next::kRetry;
    if (!at_end) continue;
    if (total > 0) return Received() == 0 ? Next::kNextUrl : Next::kRetry;
    SetStatus(TransferStatus::kFinished);
    return Next::kEnd;
  }
}

bool TransferWorker::HandOver(TransferStep step, const std::function<void()>& task) {
  return hand_over_.Send(record_, step, task);
}

}  // namespace quillo::service
