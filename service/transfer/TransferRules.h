#pragma once
// The pure rules of the safe downloader: URL extensions, qlfss1 mirror entries, mirror lists,
// the target's re-extension and the strict reading of Content-Range and Content-Length.
// No state; any thread. Every function takes outside input and never fails on bad bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::service {

// The key every byte of a qlfss1 mirror's file is XORed with.
inline constexpr unsigned char kMirrorXorKey = 0x5A;

// The extension (with its '.', lower case) a download takes from its URL; empty when none.
// With a '?', the parts before and after it are judged and ".mp3"/".wma" win. Never holds '/'.
std::string UrlExtension(std::string_view url);

// "qlfss1://…" (any case) ending ".1" or ".2".
bool IsQlfss1Url(std::string_view entry);

// Where a mirror entry is fetched from and how its bytes are treated.
struct MirrorSource {
  std::string url;
  bool xor_bytes = false;  // qlfss1 entries: every byte XORed with kMirrorXorKey
  std::string extension;   // qlfss1 entries: ".mp3" (".1") or ".wma" (".2"); else empty
};
// A qlfss1 entry becomes "http://" + the entry after its nine-character scheme; any other entry
// is fetched as it is, without XOR.
MirrorSource ResolveMirror(std::string_view entry);

// The entries of a mirror list answer: the body is descrambled (kept as it is when too short),
// read up to its first NUL, split at '\n'; each trimmed line that begins "http://" or is a qlfss1
// URL is kept in order, everything else dropped.
std::vector<std::string> ParseMirrorList(std::string body);

// The target path with its extension replaced by `extension` (appended when the name has no
// '.'); an empty extension (the URL names none) keeps the target's own. The folder never changes: an extension holding '/' or NUL, or a resulting name that is
// empty, "." or "..", leaves the target as it is.
std::string ReextendTarget(const std::string& target_path, std::string_view extension);

struct ContentRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  std::uint64_t total = 0;
};
// "bytes FIRST-LAST/TOTAL" (the unit in any case, white space around it allowed), decimal
// digits only, each below 2^63, with FIRST <= LAST < TOTAL. Anything else is no value.
std::optional<ContentRange> ParseContentRange(std::string_view text);

// A Content-Length value: decimal digits only (white space around allowed), below 2^63.
std::optional<std::uint64_t> ParseContentLength(std::string_view text);

// XORs every byte with the mirror key, in place.
void XorMirrorBytes(char* bytes, std::size_t size);

}  // namespace quillo::service
