#pragma once
// Where the download manager's files go, and how a finished file's format is told from its
// bytes when its URL named none. Pure rules over text and the file system; any thread.
#include <optional>
#include <string>
#include <string_view>

#include "store/MusicRecord.h"

namespace quillo::downloads {

// The partial file of a transfer in the ".download" folder (ending in '/'):
// "<folder><kind>-<id>.part", the id made safe as one file name.
std::string PartialPath(std::string_view download_folder, std::string_view kind,
                        std::string_view item_id);

// The name an older version stored a song under, relative to the music folder:
// "<safe artist or 未知歌手>/<id>-<safe title><extension>".
std::string LegacySongName(const store::MusicRecord& record, std::string_view extension);

// The folder of the artist's picture: for a song with a stored copy, the artist folder of that
// copy (the copy's own folder in the old "artist/id-title" layout, else its parent); otherwise
// the music folder + the safe artist name. Ends in '/'; empty when the copy's path is unusable.
std::string ArtistFolderOf(const store::MusicRecord& record, const std::string& music_folder);
std::string ArtistFolderNamed(std::string_view artist_name, const std::string& music_folder);

// An existing picture "<stem>.jpg|jpeg|gif|png|bmp" in the folder (any letter case), or none.
std::optional<std::string> FindPicture(const std::string& folder, std::string_view stem);

// ".mp3" or ".wma" by the file's first bytes (ID3 or an MPEG audio frame; the ASF header),
// empty when they are neither.
std::string SongExtensionFromBytes(std::string_view head);
// ".png", ".jpg", ".gif" or ".bmp" by the first bytes, empty otherwise.
std::string PictureExtensionFromBytes(std::string_view head);
// Up to `count` bytes from the start of the file (empty when it cannot be read).
std::string ReadFileHead(const std::string& path, std::size_t count);

// True for ".mp3" and ".wma" (lower case).
bool IsSongExtension(std::string_view extension);

// Moves a finished file into place, replacing what is there; copies when the move fails (the
// ".download" folder may lie on another file system). On failure nothing is removed.
bool MoveFileOver(const std::string& from, const std::string& to);

}  // namespace quillo::downloads
