#pragma once
// Collects the answer of one service call in memory and hands the whole text on when the
// transfer ends. A scrambled answer ("scrambled list", login) is descrambled first; an answer
// that cannot be descrambled, a failed transfer, or one larger than kMaxAnswerBytes did not
// arrive.
//
// Window thread (the safe downloader's callbacks reach it there through AnswerCollectors).
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "service/transfer/TransferStatus.h"

namespace quillo::service {

class AnswerCollector {
 public:
  enum class Form { kPlain, kScrambled };
  // Called once, from Finish: the answer's text, or no value when it did not arrive. (A
  // std::string is NUL-terminated, so c_str() gives the NUL-terminated text parsers take.)
  using Handler = std::function<void(std::optional<std::string> text)>;

  // No service answer comes near this; a larger one is not kept growing without end.
  static constexpr std::size_t kMaxAnswerBytes = 32u << 20;

  AnswerCollector(Form form, Handler handler);

  // The transfer (re)started: what was collected so far is dropped.
  void Begin();
  void Append(std::string_view chunk);
  // The transfer ended with `status`; hands the outcome on. Later calls do nothing.
  void Finish(TransferStatus status);

  bool finished() const { return finished_; }

 private:
  Form form_;
  Handler handler_;
  std::string body_;
  bool too_large_ = false;
  bool finished_ = false;
};

}  // namespace quillo::service
