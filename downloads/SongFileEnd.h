#pragma once
// Whether a song file's bytes run whole to their end: the check a download without an announced
// length gets before it is filed, since a connection cut short reads like a finished body there.
// It follows the file's own structure, not a decoder: MP3 frames are walked from the first frame
// (after an ID3v2 tag) to the end, where only a whole last frame, an ID3v1 tag or an APE tag may
// stand; an ASF file's header and data objects must fit the file. Any other bytes are not judged
// (true): the type sniffing names only these two kinds.
//
// Any thread; pure.
#include <string_view>

namespace quillo::downloads {

class SongFileEnd {
 public:
  // False when the bytes are an MP3 or ASF stream that stops inside a frame or an object.
  static bool EndsWhole(std::string_view bytes);
  // One MPEG audio frame's length in bytes from its four header bytes; 0 when they are not a
  // frame header.
  static std::size_t MpegFrameLength(std::string_view header);
};

}  // namespace quillo::downloads
