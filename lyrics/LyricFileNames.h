#pragma once
// Names of lyric files that the program makes up from outside text (song ids, titles and artist
// names from the service or a hosted page). Pure; any thread.
#include <string>
#include <string_view>

namespace quillo::lyrics {

// The longest name part (before ".lrc") in bytes; longer parts are cut at a character boundary
// so that the file can be created.
inline constexpr std::size_t kMaxLyricNameBytes = 200;

// `stem` made safe as one file name before an extension: backslash, line feed, carriage
// return, '?', '*', '|', '"', '<', '>', ':' and '/' become '_', as does NUL (which would end the
// path early), and it is cut to kMaxLyricNameBytes. With the extension after it the name is
// never "." or "..", so it cannot leave its folder.
std::string CleanLyricName(std::string_view stem);

// The file name of a lyric fetched for a song started by id, title and artist:
// CleanLyricName(artist + "-" + title) + ".lrc".
std::string ArtistTitleLyricName(std::string_view artist, std::string_view title);

// The path up to the last '.' of its last step (the whole path when the name has none).
std::string PathWithoutExtension(std::string_view path);

}  // namespace quillo::lyrics
