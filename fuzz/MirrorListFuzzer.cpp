// Mirror list answers (a "SorvelList" answer of the safe downloader): the entries of a list,
// where each is fetched from, and the target name a download takes from it.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "Scrambler.h"
#include "platform/text/TextUtil.h"
#include "service/transfer/TransferRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillo::service;
  quillo::fuzz::FuzzInput input(data, size);
  const std::uint8_t mode = input.Byte();
  const std::string target = input.Text();
  std::string body;
  if (mode & 1) {
    // The fuzzer writes the list in the clear; it is scrambled as the service sends it.
    const std::uint8_t block_length = input.Byte();
    const std::string keys = input.Take(mode >> 4);
    const std::string plain = input.Rest();
    if (block_length == 0) return 0;  // no block can carry data
    body = quillo::fuzz::Scramble(plain, block_length, keys);
    // Every entry is a line of the clear text before its first NUL, in order.
    const std::string clear = plain.substr(0, plain.find('\0'));
    std::size_t at = 0;
    for (const std::string& entry : ParseMirrorList(body)) {
      at = clear.find(entry, at);
      FUZZ_CHECK(at != std::string::npos);
      at += entry.size();
    }
  } else {
    body = input.Rest();
  }

  for (const std::string& entry : ParseMirrorList(body)) {
    FUZZ_CHECK(!entry.empty());
    FUZZ_CHECK(entry.find('\n') == std::string::npos && entry.find('\0') == std::string::npos);
    FUZZ_CHECK(quillo::text::TrimView(entry).size() == entry.size());
    const MirrorSource source = ResolveMirror(entry);
    FUZZ_CHECK(quillo::text::StartsWith(source.url, "http://"));
    FUZZ_CHECK(source.xor_bytes == IsQlfss1Url(entry));
    FUZZ_CHECK(source.extension.empty() || source.extension == ".mp3" || source.extension == ".wma");
    const std::string extension = source.xor_bytes ? source.extension : UrlExtension(source.url);
    FUZZ_CHECK(extension.find('/') == std::string::npos);
    // The download stays in its folder whatever the entry names.
    const std::string renamed = ReextendTarget(target, extension);
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    FUZZ_CHECK(renamed.compare(0, folder.size(), folder) == 0);
    FUZZ_CHECK(renamed.find('/', folder.size()) == std::string::npos);
    const std::string name = renamed.substr(folder.size());
    if (renamed != target) FUZZ_CHECK(name != "" && name != "." && name != "..");
  }
  return 0;
}
