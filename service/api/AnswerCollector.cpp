#include "service/api/AnswerCollector.h"

#include "service/transfer/AnswerDescrambler.h"

namespace quillo::service {

AnswerCollector::AnswerCollector(Form form, Handler handler)
    : form_(form), handler_(std::move(handler)) {}

void AnswerCollector::Begin() {
  body_.clear();
  too_large_ = false;
}

void AnswerCollector::Append(std::string_view chunk) {
  if (too_large_) return;
  if (chunk.size() > kMaxAnswerBytes - body_.size()) {
    too_large_ = true;
    body_.clear();
    body_.shrink_to_fit();
    return;
  }
  body_.append(chunk);
}

void AnswerCollector::Finish(TransferStatus status) {
  if (finished_) return;
  finished_ = true;
  std::optional<std::string> text;
  if (status == TransferStatus::kFinished && !too_large_) {
    if (form_ == Form::kPlain || DescrambleAnswer(body_)) text = std::move(body_);
  }
  body_.clear();
  if (handler_) handler_(std::move(text));
}

}  // namespace quillo::service
