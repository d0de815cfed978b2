#pragma once
// The tags of a WMA file: the ASF header object's Content Description (title, author, rights,
// description, rating) and Extended Content Description (named descriptors; "WM/AlbumTitle" is
// the album).
//
// The header is walked object by object with its full 64-bit sizes; a header that is larger
// than kMaxHeaderBytes or whose objects do not fit is rejected whole. The writer changes only a
// file whose header was read here and still has the same bytes, rebuilds the two objects
// (adding them when missing), and updates every size that depends on them.
//
// One object per file and thread.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "media/TagFile.h"

namespace quillo::media {

class WMAInfo {
 public:
  enum Result : int {
    kOk = 0,
    kUnreadable = 1,           // missing, smaller than kMinFileBytes, header too big or broken
    kNoContentDescription = 2,
    kNoExtendedDescription = 3,
    kBadDescriptor = 4,
    kNotAsf = 5,
  };
  static constexpr std::uint64_t kMinFileBytes = 20000;
  static constexpr std::uint64_t kMaxHeaderBytes = 4 * 1024 * 1024;
  // Setters ignore text of this many characters or more.
  static constexpr std::size_t kMaxFieldChars = 201;

  struct Descriptor {
    std::string name;  // UTF-8, without the terminating zero
    std::uint16_t type = 0;
    std::string value;  // raw bytes as stored
    // The name as stored (UTF-16LE); written back as it was, so that a name the UTF-8 round
    // trip would lengthen cannot outgrow its 16-bit length. Empty for descriptors added here.
    std::string stored_name;
  };

  // Reads the header. Fields found before a kNoContentDescription, kNoExtendedDescription or
  // kBadDescriptor answer stay filled; other failures leave every field empty.
  int Read(TagFile& file);

  const std::string& title() const { return title_; }
  const std::string& author() const { return author_; }
  const std::string& rights() const { return rights_; }
  const std::string& description() const { return description_; }
  const std::string& album() const { return album_; }
  const std::vector<Descriptor>& descriptors() const { return descriptors_; }

  // Stored when shorter than kMaxFieldChars characters; otherwise ignored.
  void SetTitle(std::string text);
  void SetAuthor(std::string text);
  void SetAlbum(std::string text);

  // Puts the changed fields into the file's content (TagFile::Commit writes it). Fields not set
  // and descriptor names keep their stored bytes. A header that shrinks so far that the file
  // would fall below kMinFileBytes gets a padding object, so the file still reads. False, with
  // the content untouched, when the header was not read or has changed since, when an object
  // would have to be added to a header whose object count is already at its 32-bit limit, or
  // when the album would be a descriptor beyond the 16-bit descriptor count.
  bool Write(TagFile& file);

 private:
  struct ObjectSpan {
    std::size_t offset = 0;
    std::size_t size = 0;
  };
  int ParseHeader();
  std::string BuildContentDescription() const;
  // No value when the descriptors would not fit their 16-bit count.
  std::optional<std::string> BuildExtendedDescription() const;
  static bool MirrorsContentDescription(const Descriptor& descriptor);

  std::string header_;  // the header object's bytes as read
  bool header_parsed_ = false;
  std::vector<ObjectSpan> objects_;
  std::optional<ObjectSpan> content_description_;
  std::optional<ObjectSpan> extended_description_;
  std::optional<ObjectSpan> file_properties_;
  std::string title_, author_, rights_, description_, album_;
  std::string rating_raw_;
  // Title, author, rights and description as stored, for the ones a write does not change.
  std::string stored_text_[4];
  std::vector<Descriptor> descriptors_;
  bool content_changed_ = false;
  bool title_changed_ = false;
  bool author_changed_ = false;
  bool album_changed_ = false;
};

}  // namespace quillo::media
