#include "service/transfer/TransferWorker.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>

#include "service/transfer/TransferBatch.h"
#include "service/transfer/TransferRules.h"

namespace quillo::service {

TransferWorker::TransferWorker(std::shared_ptr<TransferRecord> record, TransferClient& client,
                               TransferHandOver& hand_over, TransferReports& reports,
                               std::chrono::milliseconds receive_timeout)
    : record_(std::move(record)),
      client_(client),
      hand_over_(hand_over),
      reports_(reports),
      receive_timeout_(receive_timeout),
      url_(record_->requested_url_),
      target_path_(record_->requested_target_path_),
      file_(*record_) {}

void TransferWorker::Run() {
  status_ = TransferStatus::kStarting;
  total_size_ = 0;
  const int attempts = std::max(1, record_->attempts());
  int tries = 0;
  std::size_t next_mirror = 0;
  bool over = false;
  while (!over) {
    if (record_->cancelled()) {
      status_ = TransferStatus::kCancelled;
      break;
    }
    if (tries >= attempts) {
      if (next_mirror >= mirrors_.size()) {
        status_ = TransferStatus::kFailed;
        break;
      }
      const MirrorSource source = ResolveMirror(mirrors_[next_mirror++]);
      xor_bytes_ = source.xor_bytes;
      mirror_extension_ = source.extension;
      // The next mirror starts from nothing, in a file of its own.
      file_.Delete();
      url_ = source.url;
      total_size_ = 0;
      received_size_ = 0;
      status_ = TransferStatus::kStarting;
      if (!hand_over_.Post([record = record_, &reports = reports_, view = CurrentView()] {
            reports.Discard(*record, view);
          })) {
        status_ = TransferStatus::kCancelled;
        break;
      }
      tries = 0;
      continue;
    }
    switch (Attempt()) {
      case Next::kRetry:
        ++tries;
        break;
      case Next::kNextUrl:
        status_ = TransferStatus::kFailed;
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
  Finish();
}

void TransferWorker::Finish() {
  if (record_->cancelled()) status_ = TransferStatus::kCancelled;
  // The finished file stays the transfer's until its finish report has run: a Cancel before
  // that still deletes it.
  if (status_ == TransferStatus::kFinished && !file_.Close()) status_ = TransferStatus::kFailed;
  if (status_ != TransferStatus::kFinished) file_.Delete();
  // A cancelled transfer was already ended on the window thread; its report would do nothing.
  if (status_ == TransferStatus::kCancelled) return;
  hand_over_.Post([record = record_, &reports = reports_, view = CurrentView()] {
    reports.Finish(*record, view);
  });
}

TransferRecord::View TransferWorker::CurrentView() const {
  return {url_, target_path_, status_, total_size_, received_size_, http_status_};
}

TransferWorker::Next TransferWorker::Attempt() {
  static const FormParams kNoParameters;
  const FormParams* form = nullptr;
  if (record_->is_request()) {
    form = record_->parameters() ? &*record_->parameters() : &kNoParameters;
  }
  TransferClient::Result sent =
      client_.Send(url_, received_size_, form, record_->abort_, receive_timeout_);
  if (record_->cancelled()) {
    status_ = TransferStatus::kCancelled;
    return Next::kEnd;
  }
  if (sent.failed) return Next::kRetry;
  if (!sent.response) return Next::kNextUrl;
  TransferResponse& response = *sent.response;

  if (!response.HeaderValues("SorvelList").empty()) return ReadMirrorList(response);

  response.SetReceiveTimeout(receive_timeout_);
  const unsigned status = response.Status();
  http_status_ = status;
  if (status < 200 || status > 299) return Next::kNextUrl;
  if (auto checked = CheckLength(response)) return *checked;

  status_ = TransferStatus::kReceiving;
  // A resumed attempt writes on into the file it has open; OnStart came with its first data.
  if (!file_.is_open() && !StartFile()) return Next::kEnd;
  return ReadBody(response);
}

bool TransferWorker::StartFile() {
  if (!target_path_.empty() && record_->append_extension()) {
    target_path_ =
        ReextendTarget(target_path_, xor_bytes_ ? mirror_extension_ : UrlExtension(url_));
  }
  // OnStart comes before the file exists and may end the transfer (the song is already stored),
  // so the worker waits for it; it runs once per URL that gives data, not per chunk.
  if (!hand_over_.Send(record_, [record = record_, &reports = reports_,
                                 view = CurrentView()] { reports.Start(*record, view); }) ||
      record_->cancelled()) {
    status_ = TransferStatus::kCancelled;
    return false;
  }
  if (!target_path_.empty() && !file_.Open(target_path_)) {
    status_ = record_->cancelled() ? TransferStatus::kCancelled : TransferStatus::kFailed;
    return false;
  }
  return true;
}

TransferWorker::Next TransferWorker::ReadMirrorList(TransferResponse& response) {
  // Only the first answer may be a list: a mirror answering with another list would send the
  // transfer round in circles.
  if (following_mirrors_) return Next::kNextUrl;
  std::string body;
  body.reserve(1024);
  std::vector<char> piece(kReadSize);
  while (true) {
    if (record_->cancelled()) {
      status_ = TransferStatus::kCancelled;
      return Next::kEnd;
    }
    const std::ptrdiff_t count = response.Read(piece.data(), kReadSize);
    if (count < 0) return Next::kRetry;
    if (count == 0) break;
    if (body.size() + static_cast<std::size_t>(count) > kMirrorListLimit) {
      status_ = TransferStatus::kFailed;
      return Next::kEnd;
    }
    body.append(piece.data(), static_cast<std::size_t>(count));
  }
  mirrors_ = ParseMirrorList(std::move(body));
  if (mirrors_.empty()) {
    status_ = TransferStatus::kFailed;
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
  if (received_size_ != 0) {
    const std::vector<std::string> ranges = response.HeaderValues("Content-Range");
    if (ranges.size() != 1) return Next::kNextUrl;
    const auto range = ParseContentRange(ranges.front());
    if (!range || range->first != received_size_ || range->total != total_size_)
      return Next::kNextUrl;
    if (length && *length != range->last - range->first + 1) return Next::kNextUrl;
    established = true;
  } else if (length) {
    total_size_ = *length;
    established = true;
  }
  const std::uint64_t total = total_size_;
  const std::int64_t min_size = record_->min_size();
  const std::int64_t max_size = record_->max_size();
  if (established && total == 0) {
    status_ = min_size < 1 ? TransferStatus::kFinished : TransferStatus::kFailed;
    return Next::kEnd;
  }
  // Without an announced length there is nothing to compare yet: the maximum is watched while
  // reading and the minimum checked against what arrived once the body ended.
  if (established) {
    if ((min_size > 0 && total < static_cast<std::uint64_t>(min_size)) ||
        (max_size > 0 && total > static_cast<std::uint64_t>(max_size))) {
      return Next::kNextUrl;
    }
  }
  return std::nullopt;
}

TransferWorker::Next TransferWorker::ReadBody(TransferResponse& response) {
  const std::uint64_t total = total_size_;
  const std::int64_t min_size = record_->min_size();
  const std::int64_t max_size = record_->max_size();
  std::vector<std::size_t> chunk_sizes;
  chunk_sizes.reserve(kBatchChunks);
  while (true) {
    if (!WaitForReportRoom()) {
      status_ = TransferStatus::kCancelled;
      return Next::kEnd;
    }
    if (buffer_.size() < kBatchBytes) buffer_.resize(kBatchBytes);
    // Gather the reads that need no waiting, kReadSize at a time, so that a fast connection
    // costs one write and one report per batch instead of one per read. A chunk is never held
    // back while the worker waits for the network: gathering stops when nothing more has
    // arrived.
    chunk_sizes.clear();
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
      chunk_sizes.push_back(size);
      filled += size;
      if (total > 0 && received_size_ + filled >= total) break;
      if (filled + kReadSize > buffer_.size() || record_->cancelled()) break;
      if (std::chrono::steady_clock::now() - batch_start >= kBatchWindow) break;
      if (response.Available() == 0) break;
    }
    if (record_->cancelled()) {
      status_ = TransferStatus::kCancelled;
      return Next::kEnd;
    }
    // Never write past what the answer announced or the caller allows: the chunks up to the
    // first that would are written, the rest of the batch is dropped.
    std::size_t fitting = 0;
    std::size_t fitting_bytes = 0;
    for (const std::size_t size : chunk_sizes) {
      const std::uint64_t after = received_size_ + fitting_bytes + size;
      if ((total > 0 && after > total) ||
          (max_size > 0 && after > static_cast<std::uint64_t>(max_size))) {
        break;
      }
      ++fitting;
      fitting_bytes += size;
    }
    const bool overflow = fitting < chunk_sizes.size();
    const Stored stored = record_->lockstep_ && !record_->is_request()
                              ? StoreInStep(chunk_sizes, fitting)
                              : StoreBatch(chunk_sizes, fitting, fitting_bytes);
    if (stored == Stored::kCancelled) {
      status_ = TransferStatus::kCancelled;
      return Next::kEnd;
    }
    if (stored == Stored::kShort) {
      status_ = TransferStatus::kFailed;
      return Next::kEnd;
    }
    if (overflow) return Next::kNextUrl;
    if (total > 0 && received_size_ >= total) {
      if (static_cast<std::int64_t>(received_size_) >= min_size) {
        status_ = TransferStatus::kFinished;
        return Next::kEnd;
      }
      return Next::kNextUrl;
    }
    if (read_failed) return Next::kRetry;
    if (!at_end) continue;
    if (total > 0) return received_size_ == 0 ? Next::kNextUrl : Next::kRetry;
    // The body ended without an announced length (a cut connection reads the same, unless the
    // chunked encoding's end was missing, which the client reports as a failed read).
    if (min_size > 0 && received_size_ < static_cast<std::uint64_t>(min_size)) {
      return Next::kNextUrl;
    }
    status_ = TransferStatus::kFinished;
    return Next::kEnd;
  }
}

TransferWorker::Stored TransferWorker::StoreBatch(const std::vector<std::size_t>& chunk_sizes,
                                                  std::size_t count, std::size_t bytes) {
  const std::size_t stored =
      record_->is_request() ? bytes : file_.Write(std::string_view(buffer_.data(), bytes));
  // Only chunks that reached the file whole are reported.
  std::size_t whole = 0;
  std::size_t whole_bytes = 0;
  while (whole < count && whole_bytes + chunk_sizes[whole] <= stored)
    whole_bytes += chunk_sizes[whole++];
  const std::uint64_t received_before = received_size_;
  received_size_ += stored;
  if (whole > 0 && !ReportChunks(chunk_sizes, whole, whole_bytes, received_before))
    return Stored::kCancelled;
  return stored < bytes ? Stored::kShort : Stored::kAll;
}

TransferWorker::Stored TransferWorker::StoreInStep(const std::vector<std::size_t>& chunk_sizes,
                                                   std::size_t count) {
  std::size_t offset = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t size = chunk_sizes[i];
    const std::size_t taken = file_.Write(std::string_view(buffer_.data() + offset, size));
    received_size_ += taken;
    if (taken < size) return Stored::kShort;
    offset += size;
    if (record_->callback() == nullptr) continue;
    // The chunk travels as a copy of its own, as queued chunks do when they are small; it is
    // small next to the round trip it waits for.
    std::vector<char> bytes(buffer_.begin() + static_cast<std::ptrdiff_t>(offset - size),
                            buffer_.begin() + static_cast<std::ptrdiff_t>(offset));
    {
      std::lock_guard lock(record_->mutex_);
      record_->reported_bytes_ += TransferBatch::Count(bytes);
    }
    auto batch = std::make_shared<TransferBatch>(record_, std::move(bytes), false,
                                                 std::vector<std::size_t>{size},
                                                 received_size_ - size, total_size_);
    if (!hand_over_.Send(
            record_, [record = record_, &reports = reports_, batch = std::move(batch)]() mutable {
              reports.Data(*record, *batch);
              batch.reset();
            })) {
      return Stored::kCancelled;
    }
    // A callback may have cancelled the transfer: the next chunk is not written.
    if (record_->cancelled()) return Stored::kCancelled;
  }
  return Stored::kAll;
}

bool TransferWorker::WaitForReportRoom() {
  std::unique_lock lock(record_->mutex_);
  record_->signal_.wait(
      lock, [&] { return record_->cancelled_ || record_->reported_bytes_ < kReportBudget; });
  return !record_->cancelled_;
}

bool TransferWorker::ReportChunks(const std::vector<std::size_t>& chunk_sizes, std::size_t count,
                                  std::size_t bytes, std::uint64_t received_before) {
  // Nobody listens: the finish report brings the received size.
  if (record_->callback() == nullptr) return true;
  // A large batch travels in the buffer it was read into (no copy) and the worker reads on into
  // a spare one; a small one, typical of a slow connection, is copied, so that many of them
  // still fit the budget.
  const bool pooled = bytes >= kBatchBytes / 4;
  std::vector<char> carried;
  if (!pooled) carried.assign(buffer_.data(), buffer_.data() + bytes);
  {
    std::lock_guard lock(record_->mutex_);
    if (pooled) {
      carried = std::move(buffer_);
      buffer_.clear();
      if (!record_->spare_buffers_.empty()) {
        buffer_ = std::move(record_->spare_buffers_.back());
        record_->spare_buffers_.pop_back();
      }
    }
    record_->reported_bytes_ += TransferBatch::Count(carried);
  }
  auto batch = std::make_shared<TransferBatch>(
      record_, std::move(carried), pooled,
      std::vector<std::size_t>(chunk_sizes.begin(), chunk_sizes.begin() + count), received_before,
      total_size_);
  // The batch's memory goes back as soon as its reports ran, not when the loop gets round to
  // destroying the task.
  return hand_over_.Post(
      [record = record_, &reports = reports_, batch = std::move(batch)]() mutable {
        reports.Data(*record, *batch);
        batch.reset();
      });
}

}  // namespace quillo::service
