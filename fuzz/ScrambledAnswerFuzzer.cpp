// Scrambled list answers (ranking and random lists): the answer arrives in pieces, is collected
// and descrambled by AnswerCollector, and parsed as a list document. Written in the clear and
// scrambled here, it must come back byte for byte.
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "Scrambler.h"
#include "platform/text/TextCodec.h"
#include "service/api/AnswerCollector.h"
#include "store/ListDocument.h"

namespace {

// The answer as the collector hands it on after arriving in pieces of `piece` bytes.
std::optional<std::string> Collect(const std::string& body, std::size_t piece) {
  using quillo::service::AnswerCollector;
  std::optional<std::string> handed;
  bool called = false;
  AnswerCollector collector(AnswerCollector::Form::kScrambled,
                            [&](std::optional<std::string> text) {
                              called = true;
                              handed = std::move(text);
                            });
  collector.Begin();
  for (std::size_t at = 0; at < body.size(); at += piece) {
    collector.Append(std::string_view(body).substr(at, piece));
  }
  collector.Finish(quillo::service::TransferStatus::kFinished);
  FUZZ_CHECK(called && collector.finished());
  return handed;
}

void CheckList(const std::string& text) {
  const auto list = quillo::store::ParseListDocument(text);
  if (!list) return;
  // What the lists show is well-formed text, whatever the answer's bytes.
  for (const auto& record : list->records) {
    for (const auto& [name, value] : record) FUZZ_CHECK(quillo::text::IsValidUtf8(value));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillo::fuzz::FuzzInput input(data, size);
  const std::uint8_t mode = input.Byte();
  const std::size_t piece = 1 + input.Byte() % 64;
  if (mode & 1) {
    const std::uint8_t block_length = input.Byte();
    const std::string keys = input.Take(mode >> 4);
    const std::string plain = input.Rest();
    if (block_length == 0) return 0;
    const auto text = Collect(quillo::fuzz::Scramble(plain, block_length, keys), piece);
    FUZZ_CHECK(text && *text == plain);
    CheckList(*text);
  } else {
    const std::string body = input.Rest();
    const auto text = Collect(body, piece);
    FUZZ_CHECK(text.has_value() == (body.size() >= 3));
    if (text) CheckList(*text);
  }
  return 0;
}
