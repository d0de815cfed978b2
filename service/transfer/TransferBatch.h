#pragma once
// Chunks that a transfer's worker has written, on their way to the window thread's OnData
// reports. The batch owns its bytes and counts them against the transfer's report budget until
// it is destroyed — reported, or dropped because the transfer was cancelled or the loop went
// away — so a window thread that falls behind holds the worker up instead of letting reports
// pile up in memory. A batch buffer it carries goes back to the worker for the next reads.
//
// Made on the worker thread; read and destroyed on the window thread (or on the worker, when
// the window thread took no more reports).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace quillo::service {

class TransferRecord;

class TransferBatch {
 public:
  // `bytes` holds the chunks back to back from its start; `chunk_sizes` tells them apart.
  // `pooled`: `bytes` is one of the worker's batch buffers (returned for reuse), not a copy.
  // The memory is already counted in the record's budget (see Count).
  TransferBatch(std::shared_ptr<TransferRecord> record, std::vector<char> bytes, bool pooled,
                std::vector<std::size_t> chunk_sizes, std::uint64_t received_before,
                std::uint64_t total_size);
  ~TransferBatch();
  TransferBatch(const TransferBatch&) = delete;
  TransferBatch& operator=(const TransferBatch&) = delete;

  // What a batch of these bytes counts against the budget.
  static std::size_t Count(const std::vector<char>& bytes) { return bytes.capacity(); }

  const std::vector<std::size_t>& chunk_sizes() const { return chunk_sizes_; }
  std::string_view Chunk(std::size_t offset, std::size_t size) const {
    return std::string_view(bytes_.data() + offset, size);
  }
  // Bytes received before the first chunk of this batch.
  std::uint64_t received_before() const { return received_before_; }
  std::uint64_t total_size() const { return total_size_; }

 private:
  std::shared_ptr<TransferRecord> record_;
  std::vector<char> bytes_;
  const bool pooled_;
  const std::vector<std::size_t> chunk_sizes_;
  const std::uint64_t received_before_;
  const std::uint64_t total_size_;
};

}  // namespace quillo::service
