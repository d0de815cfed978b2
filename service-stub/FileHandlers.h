#pragma once
// The file fetches: song downloads (with mirror lists for marked songs), streams, the mirror
// hosts ("mirror/" plain, "qlfss/" XORed with 0x5A), pictures, lyrics and the update check.
// Every file answer honours a single "bytes=N-" or "bytes=N-M" range with 206 and a
// Content-Range, and answers 416 for a range that starts past the end.
#include <cstdint>
#include <optional>
#include <string>

#include "service-stub/Router.h"

namespace quillo::stub {

void RegisterFileHandlers(Router& router);

struct ByteRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;  // inclusive
};

// Parses a Range header against a body of `total` bytes. No value: answer the whole body
// (no header, several ranges, or a form not understood). `unsatisfiable` is set when the
// range starts at or past the end.
std::optional<ByteRange> ParseRange(const std::string& header, std::uint64_t total,
                                    bool* unsatisfiable);

// The mirror list text of a song (lines separated by '\n' or "\r\n"), before scrambling.
std::string MirrorListText(const std::string& base_url, const CatalogueSong& song);

}  // namespace quillo::stub
