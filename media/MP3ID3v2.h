#pragma once
// The ID3v2 tag at the start of an MP3 file: "ID3", major and minor version, flags, a synchsafe
// size (the bytes after the 10-byte header), then frames of identifier, size, flags and content.
//
// Versions 2.2 (three-letter frames), 2.3 and 2.4 (synchsafe frame sizes) are read. Text frames
// are decoded by their encoding byte: 0 GBK, 1 UTF-16 with byte order mark, 2 UTF-16BE, 3 UTF-8.
// A frame or tag size that runs past the tag or the file ends the read with what was found.
//
// The writer writes a 2.3 tag (a 2.4 tag stays 2.4): the six fields are written anew, every other
// frame is copied unchanged, and the bytes after the old tag follow the new one untouched. Text
// that is plain ASCII is written with encoding 0, other text with encoding 1. When no frame is
// left (every field empty, nothing to copy) no tag is written and the old one is dropped.
// Tags stacked at the start are replaced together by the one tag written; the other writers'
// frames of the later ones are carried (those of a 2.2 tag cannot be, nor flagged frames of a
// tag whose version differs from the one written).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "media/MP3ID3.h"

namespace quillo::media {

class MP3ID3v2 : public MP3ID3 {
 public:
  struct Frame {
    std::string id;
    // The two flag bytes as stored (none in version 2.2).
    std::uint16_t flags = 0;
    // The content as stored (tag-level unsynchronisation already undone).
    std::string content;
  };
  struct Tag {
    int major_version = 0;
    // Bytes of the whole tag in the file: header, body and a 2.4 footer. A tag that claims
    // more than the file holds ends after its last whole frame (nothing after it is taken for
    // the tag's).
    std::size_t total_bytes = 0;
    std::vector<Frame> frames;
  };

  bool Read(TagFile& file, TagInfo& info) override;
  bool Write(TagFile& file, const TagInfo& info) override;

  // Parses a tag from the file's first bytes (`file_size` is the whole file's). No value when
  // the bytes do not start with a tag this reader understands.
  static std::optional<Tag> Parse(std::string_view bytes, std::uint64_t file_size);
  // The six fields from the frames of a parsed tag.
  static void Fill(const Tag& tag, TagInfo& info);
  // The file's new content: a tag with the fields and the old tag's other frames, followed by
  // everything that followed the old tag.
  static std::optional<std::string> Rewrite(std::string_view contents, const TagInfo& info);

  // Text of a text frame's content (encoding byte first), up to its terminator, as UTF-8.
  static std::string DecodeText(std::string_view content);
  // Encoding byte and text: 0 and GBK for ASCII, else 1 and UTF-16LE with byte order mark.
  static std::string EncodeText(std::string_view utf8);
};

}  // namespace quillo::media
