// "quillo://add/" links, which web pages and other programs hand over. A link that parses names
// only service music ids and a list name fit to be stored; written out again with every byte
// escaped, it parses to the same.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"
#include "service/sync/AddLink.h"

namespace {

std::string EscapeAll(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillo::service;
  quillo::fuzz::FuzzInput input(data, size);
  const std::uint8_t mode = input.Byte();
  std::string link = input.Rest();
  // Mostly links with the prefix in some letter case, so the fuzzer works on what follows.
  if ((mode & 3) != 0) {
    std::string prefix(AddLink::kPrefix);
    for (std::size_t i = 0; i < prefix.size(); ++i) {
      if ((mode >> (2 + i % 6)) & 1) prefix[i] = static_cast<char>(std::toupper(prefix[i]));
    }
    link = prefix + link;
  }
  const auto parsed = ParseAddLink(link);
  DecodePercentEscapes(link);
  if (!parsed) return 0;

  for (const std::string& id : parsed->music_ids) {
    FUZZ_CHECK(!id.empty());
    for (const char c : id) FUZZ_CHECK(std::isalnum(static_cast<unsigned char>(c)));
  }
  std::string again(AddLink::kPrefix);
  for (std::size_t i = 0; i < parsed->music_ids.size(); ++i) {
    if (i > 0) again += ',';
    again += parsed->music_ids[i];
  }
  if (parsed->list_name) {
    const std::string& name = *parsed->list_name;
    FUZZ_CHECK(!name.empty() && quillo::text::IsValidUtf8(name));
    FUZZ_CHECK(quillo::text::TrimView(name).size() == name.size());
    for (const char c : name) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    again += ':' + EscapeAll(name);
  }
  const auto reparsed = ParseAddLink(again);
  FUZZ_CHECK(reparsed && *reparsed == *parsed);
  return 0;
}
