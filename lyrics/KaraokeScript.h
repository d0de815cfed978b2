#pragma once
// The scrambled form of karaoke lyric files (".mrc").
//
// Byte 0 is unused, byte 1 is the block length L, then come blocks of one key byte followed by
// up to L data bytes; every data byte is XORed with its block's key. There are
// (n - 3) / (L + 1) + 1 blocks for n bytes; the last may be short and reading stops at the end.
#include <optional>
#include <string>

namespace quillo::lyrics {

// The plain script, or no value for a file shorter than 3 bytes. Works in place on the bytes.
std::optional<std::string> UnscrambleKaraokeScript(std::string bytes);

}  // namespace quillo::lyrics
