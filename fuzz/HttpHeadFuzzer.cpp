// The head of an HTTP answer, line by line as the transport receives it, then read as the safe
// downloader reads it: every Content-Length, the Content-Range of a resumed transfer.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "platform/http/HttpResponseHead.h"
#include "platform/text/TextUtil.h"
#include "service/transfer/TransferRules.h"

namespace {

using quillo::http::HttpResponseHead;

// The digits a parsed number came from, without leading zeros.
std::string Digits(std::string_view text) {
  text = quillo::text::TrimView(text);
  while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
  return std::string(text);
}

void CheckLengths(const HttpResponseHead& head) {
  using namespace quillo::service;
  for (std::size_t i = 0;; ++i) {
    const auto value = head.Header("Content-Length", i);
    if (!value) break;
    if (const auto length = ParseContentLength(*value)) {
      FUZZ_CHECK(*length < (std::uint64_t{1} << 63));
      FUZZ_CHECK(std::to_string(*length) == Digits(*value));
    }
  }
  for (std::size_t i = 0;; ++i) {
    const auto value = head.Header("Content-Range", i);
    if (!value) break;
    const auto range = ParseContentRange(*value);
    if (!range) continue;
    FUZZ_CHECK(range->first <= range->last && range->last < range->total);
    const std::string again = "bytes " + std::to_string(range->first) + "-" +
                              std::to_string(range->last) + "/" + std::to_string(range->total);
    const auto reparsed = ParseContentRange(again);
    FUZZ_CHECK(reparsed && reparsed->first == range->first && reparsed->last == range->last &&
               reparsed->total == range->total);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillo::fuzz::FuzzInput input(data, size);
  const std::string bytes = input.Rest();
  HttpResponseHead head;
  std::size_t from = 0;
  while (from < bytes.size()) {
    const std::size_t newline = bytes.find('\n', from);
    const std::size_t end = newline == std::string::npos ? bytes.size() : newline + 1;
    const std::string_view line = std::string_view(bytes).substr(from, end - from);
    from = end;
    const std::size_t fields_before = head.fields().size();
    switch (head.Take(line)) {
      case HttpResponseHead::Line::kStatus:
        FUZZ_CHECK(head.fields().empty());
        FUZZ_CHECK(head.status() == 0 || (head.status() >= 100 && head.status() <= 999));
        break;
      case HttpResponseHead::Line::kField:
        FUZZ_CHECK(head.fields().size() == fields_before ||
                   head.fields().size() == fields_before + 1);
        break;
      case HttpResponseHead::Line::kEnd:
        CheckLengths(head);
        [[fallthrough]];
      case HttpResponseHead::Line::kIgnored:
        FUZZ_CHECK(head.fields().size() == fields_before);
        break;
    }
    for (const auto& [name, value] : head.fields()) {
      FUZZ_CHECK(quillo::text::TrimView(name).size() == name.size());
      FUZZ_CHECK(name.find(':') == std::string::npos);
    }
  }
  CheckLengths(head);
  return 0;
}
