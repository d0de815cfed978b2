#pragma once
// Pure text rules of song ids and stored-copy names. They take no lock and touch nothing but
// their arguments (MusicFileName may create folders), so any thread may call them.
#include <string>
#include <string_view>

#include "store/MusicRecord.h"

namespace quillo::store {

// A song is local (a file or a phone song) when its id holds '_' or '-' anywhere; service ids
// hold neither.
bool IsLocalId(std::string_view music_id);

// True for exactly 32 hexadecimal digits (either case): the ids of user playlists.
bool IsHexId32(std::string_view id);

// The id of a local file: "ex-" + MD5 of the path lower-cased (ASCII letters) and in GBK.
std::string LocalMusicId(std::string_view path);

// A name that is safe as one folder or file name: backslash, line feed, carriage return, '?',
// '*', '|', '"', '<', '>', ':' and '/' become '_', white space is trimmed at both ends, a name
// longer than kMaxNameBytes is cut at a character boundary, and a name that is then empty, "."
// or ".." becomes "_", so no name can step out of the folder it is made for.
std::string SafeFileName(std::string_view name);
inline constexpr std::size_t kMaxNameBytes = 200;

// The stored copy's name relative to the music folder: safe artist / safe album / safe title +
// extension (with its dot). An empty artist is "未知歌手", an empty album "未知专辑". When
// music_folder is given, the music folder, the artist folder and the album folder are created.
std::string MusicFileName(const MusicRecord& record, std::string_view extension,
                          std::string_view music_folder = {});

// The extension from the last '.' of the last path step, dot included; empty when none.
std::string FileExtension(std::string_view path);

}  // namespace quillo::store
