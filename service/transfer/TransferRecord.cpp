#include "service/transfer/TransferRecord.h"

namespace quillo::service {

TransferRecord::TransferRecord(Options options)
    : id_(std::move(options.id)),
      requested_url_(std::move(options.url)),
      requested_target_path_(std::move(options.target_path)),
      callback_(options.callback),
      append_extension_(options.append_extension),
      min_size_(options.min_size),
      max_size_(options.max_size),
      attempts_(options.attempts),
      is_request_(options.is_request),
      parameters_(std::move(options.parameters)),
      lockstep_(options.lockstep),
      url_(requested_url_),
      target_path_(requested_target_path_) {}

TransferRecord::~TransferRecord() = default;

}  // namespace quillo::service
