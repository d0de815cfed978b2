#include "media/WMAInfo.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"

namespace quillo::media {
namespace {

using Guid = std::array<unsigned char, 16>;
constexpr Guid kHeaderGuid = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                              0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kContentDescriptionGuid = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                          0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kExtendedDescriptionGuid = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                           0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
constexpr Guid kPaddingGuid = {0x74, 0xD4, 0x06, 0x18, 0xDF, 0xCA, 0x09, 0x45,
                               0xA4, 0xBA, 0x9A, 0xAB, 0xCB, 0x96, 0xAA, 0xE8};
constexpr Guid kFilePropertiesGuid = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                      0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr std::size_t kHeaderFixedBytes = 30;  // GUID, size, object count, two reserved bytes
constexpr std::size_t kObjectHeaderBytes = 24;  // GUID, size
constexpr std::string_view kAlbumName = "WM/AlbumTitle";

bool HasGuid(std::string_view bytes, std::size_t offset, const Guid& guid) {
  if (offset + 16 > bytes.size()) return false;
  for (std::size_t i = 0; i < 16; ++i) {
    if (static_cast<unsigned char>(bytes[offset + i]) != guid[i]) return false;
  }
  return true;
}

std::uint64_t LittleEndian(std::string_view bytes, std::size_t offset, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

void PutLittleEndian(std::string& bytes, std::size_t offset, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string LittleEndianBytes(std::uint64_t value, std::size_t width) {
  std::string bytes(width, '\0');
  PutLittleEndian(bytes, 0, value, width);
  return bytes;
}

std::string GuidBytes(const Guid& guid) { return std::string(guid.begin(), guid.end()); }

// UTF-16LE bytes with any terminating zeros dropped.
std::string DecodeUtf16(std::string_view bytes) {
  while (bytes.size() >= 2 && bytes[bytes.size() - 1] == '\0' && bytes[bytes.size() - 2] == '\0') {
    bytes.remove_suffix(2);
  }
  return text::Utf16LeBytesToUtf8(bytes);
}

std::string EncodeUtf16Terminated(std::string_view utf8) {
  if (utf8.empty()) return {};
  return text::Utf8ToUtf16LeBytes(utf8) + std::string(2, '\0');
}

bool FitsField(std::string_view text) {
  return text::CodePointCount(text) < WMAInfo::kMaxFieldChars;
}

}  // namespace

int WMAInfo::Read(TagFile& file) {
  *this = WMAInfo();
  if (file.Size() < kMinFileBytes) return kUnreadable;
  std::string fixed = file.ReadAt(0, kHeaderFixedBytes);
  if (fixed.size() < kHeaderFixedBytes) return kUnreadable;
  if (!HasGuid(fixed, 0, kHeaderGuid)) return kNotAsf;
  std::uint64_t header_bytes = LittleEndian(fixed, 16, 8);
  if (header_bytes < kHeaderFixedBytes || header_bytes > kMaxHeaderBytes || header_bytes > file.Size()) {
    return kUnreadable;
  }
  header_ = file.ReadAt(0, static_cast<std::size_t>(header_bytes));
  if (header_.size() != header_bytes) return kUnreadable;
  int result = ParseHeader();
  if (result == kUnreadable) {
    *this = WMAInfo();
    return result;
  }
  header_parsed_ = true;
  return result;
}

int WMAInfo::ParseHeader() {
  std::string_view header = header_;
  std::uint64_t count = LittleEndian(header, 24, 4);
  std::size_t pos = kHeaderFixedBytes;
  for (std::uint64_t i = 0; i < count && pos < header.size(); ++i) {
    if (pos + kObjectHeaderBytes > header.size()) return kUnreadable;
    std::uint64_t size = LittleEndian(header, pos + 16, 8);
    if (size < kObjectHeaderBytes || size > header.size() - pos) return kUnreadable;
    ObjectSpan span{pos, static_cast<std::size_t>(size)};
    objects_.push_back(span);
    if (HasGuid(header, pos, kContentDescriptionGuid) && !content_description_) content_description_ = span;
    if (HasGuid(header, pos, kExtendedDescriptionGuid) && !extended_description_) extended_description_ = span;
    if (HasGuid(header, pos, kFilePropertiesGuid) && !file_properties_) file_properties_ = span;
    pos += span.size;
  }

  if (content_description_) {
    std::string_view object = header.substr(content_description_->offset, content_description_->size);
    if (object.size() < kObjectHeaderBytes + 10) return kUnreadable;
    std::size_t lengths[5];
    std::size_t total = 0;
    for (int i = 0; i < 5; ++i) {
      lengths[i] = static_cast<std::size_t>(LittleEndian(object, kObjectHeaderBytes + 2 * i, 2));
      total += lengths[i];
    }
    if (kObjectHeaderBytes + 10 + total > object.size()) return kUnreadable;
    std::size_t at = kObjectHeaderBytes + 10;
    std::string* fields[4] = {&title_, &author_, &rights_, &description_};
    const std::size_t limits[4] = {1000, 1000, 1000, 3000};
    for (int i = 0; i < 4; ++i) {
      stored_text_[i] = std::string(object.substr(at, lengths[i]));
      if (lengths[i] > 0 && lengths[i] < limits[i]) *fields[i] = DecodeUtf16(object.substr(at, lengths[i]));
      at += lengths[i];
    }
    rating_raw_ = std::string(object.substr(at, lengths[4]));
  }

  if (!extended_description_) return content_description_ ? kNoExtendedDescription : kNoContentDescription;
  std::string_view object = header.substr(extended_description_->offset, extended_description_->size);
  if (object.size() < kObjectHeaderBytes + 2) return kBadDescriptor;
  std::size_t descriptor_count = static_cast<std::size_t>(LittleEndian(object, kObjectHeaderBytes, 2));
  std::size_t at = kObjectHeaderBytes + 2;
  for (std::size_t i = 0; i < descriptor_count; ++i) {
    if (at + 2 > object.size()) return kBadDescriptor;
    std::size_t name_bytes = static_cast<std::size_t>(LittleEndian(object, at, 2));
    if (at + 2 + name_bytes + 4 > object.size()) return kBadDescriptor;
    Descriptor descriptor;
    descriptor.stored_name = std::string(object.substr(at + 2, name_bytes));
    descriptor.name = DecodeUtf16(descriptor.stored_name);
    at += 2 + name_bytes;
    descriptor.type = static_cast<std::uint16_t>(LittleEndian(object, at, 2));
    std::size_t value_bytes = static_cast<std::size_t>(LittleEndian(object, at + 2, 2));
    at += 4;
    if (at + value_bytes > object.size()) return kBadDescriptor;
    descriptor.value = std::string(object.substr(at, value_bytes));
    at += value_bytes;
    if (descriptor.name == kAlbumName && descriptor.type == 0 && album_.empty()) {
      album_ = DecodeUtf16(descriptor.value);
    }
    descriptors_.push_back(std::move(descriptor));
  }
  return content_description_ ? kOk : kNoContentDescription;
}

void WMAInfo::SetTitle(std::string text) {
  if (!FitsField(text)) return;
  title_ = std::move(text);
  content_changed_ = title_changed_ = true;
}

void WMAInfo::SetAuthor(std::string text) {
  if (!FitsField(text)) return;
  author_ = std::move(text);
  content_changed_ = author_changed_ = true;
}

void WMAInfo::SetAlbum(std::string text) {
  if (!FitsField(text)) return;
  album_ = std::move(text);
  album_changed_ = true;
}

std::string WMAInfo::BuildContentDescription() const {
  // Fields not set keep their bytes: decoding and encoding again would change text that was not
  // whole UTF-16, and would empty text too long to be read.
  std::string strings[4] = {title_changed_ ? EncodeUtf16Terminated(title_) : stored_text_[0],
                            author_changed_ ? EncodeUtf16Terminated(author_) : stored_text_[1],
                            stored_text_[2], stored_text_[3]};
  std::string body;
  for (const std::string& s : strings) body += LittleEndianBytes(s.size(), 2);
  body += LittleEndianBytes(rating_raw_.size(), 2);
  for (const std::string& s : strings) body += s;
  body += rating_raw_;
  return GuidBytes(kContentDescriptionGuid) + LittleEndianBytes(kObjectHeaderBytes + body.size(), 8) + body;
}

bool WMAInfo::MirrorsContentDescription(const Descriptor& descriptor) {
  return descriptor.type == 0 &&
         (text::EqualsIgnoreCaseAscii(descriptor.name, "title") ||
          text::EqualsIgnoreCaseAscii(descriptor.name, "WM/Title") ||
          text::EqualsIgnoreCaseAscii(descriptor.name, "author") ||
          text::EqualsIgnoreCaseAscii(descriptor.name, "WM/Author"));
}

std::optional<std::string> WMAInfo::BuildExtendedDescription() const {
  std::vector<Descriptor> descriptors = descriptors_;
  bool replaced = false;
  auto value_of = [](const std::string& text) {
    std::string value = EncodeUtf16Terminated(text);
    return value.empty() ? std::string(2, '\0') : value;
  };
  for (Descriptor& descriptor : descriptors) {
    if (album_changed_ && descriptor.name == kAlbumName && !replaced) {
      descriptor.type = 0;
      descriptor.value = value_of(album_);
      replaced = true;
    }
    // Some writers repeat title and author as descriptors, and other players read those: they
    // must not keep the old text. The one not set keeps its bytes.
    if (content_changed_ && MirrorsContentDescription(descriptor)) {
      bool is_title = text::EqualsIgnoreCaseAscii(descriptor.name, "title") ||
                      text::EqualsIgnoreCaseAscii(descriptor.name, "WM/Title");
      if (is_title ? title_changed_ : author_changed_) descriptor.value = value_of(is_title ? title_ : author_);
    }
  }
  if (album_changed_ && !replaced) {
    Descriptor album;
    album.name = std::string(kAlbumName);
    album.value = value_of(album_);
    descriptors.push_back(std::move(album));
  }
  if (descriptors.size() > 0xFFFF) return std::nullopt;
  std::string body = LittleEndianBytes(descriptors.size(), 2);
  for (const Descriptor& descriptor : descriptors) {
    std::string name = descriptor.stored_name.empty() && !descriptor.name.empty()
                           ? text::Utf8ToUtf16LeBytes(descriptor.name) + std::string(2, '\0')
                           : descriptor.stored_name;
    body += LittleEndianBytes(name.size(), 2) + name;
    body += LittleEndianBytes(descriptor.type, 2);
    body += LittleEndianBytes(descriptor.value.size(), 2) + descriptor.value;
  }
  return GuidBytes(kExtendedDescriptionGuid) + LittleEndianBytes(kObjectHeaderBytes + body.size(), 8) + body;
}

bool WMAInfo::Write(TagFile& file) {
  if (!header_parsed_) return false;
  if (!content_changed_ && !album_changed_) return true;
  const std::string* contents = file.Contents();
  if (!contents || contents->compare(0, header_.size(), header_) != 0) return false;

  std::string new_content_description = content_changed_ ? BuildContentDescription() : std::string();
  bool mirrored = content_changed_ &&
                  std::any_of(descriptors_.begin(), descriptors_.end(), MirrorsContentDescription);
  bool rebuild_extended = album_changed_ || mirrored;
  std::string new_extended;
  if (rebuild_extended) {
    std::optional<std::string> built = BuildExtendedDescription();
    if (!built) return false;
    new_extended = std::move(*built);
  }
  std::string header = header_.substr(0, kHeaderFixedBytes);
  std::uint64_t count = LittleEndian(header_, 24, 4);
  // The count is a 32-bit field: a header that already claims the most objects cannot be told
  // of one more (the count would wrap to 0 and hide every object).
  const std::uint64_t added = (content_changed_ && !content_description_ ? 1 : 0) +
                              (album_changed_ && !extended_description_ ? 1 : 0);
  if (count + added > 0xFFFFFFFFu) return false;
  std::optional<std::size_t> file_properties_at;
  for (const ObjectSpan& span : objects_) {
    bool is_content = content_description_ && span.offset == content_description_->offset;
    bool is_extended = extended_description_ && span.offset == extended_description_->offset;
    if (file_properties_ && span.offset == file_properties_->offset) file_properties_at = header.size();
    if (is_content && content_changed_) {
      header += new_content_description;
    } else if (is_extended && rebuild_extended) {
      header += new_extended;
    } else {
      header.append(header_, span.offset, span.size);
    }
  }
  // Anything after the last object counted (padding some writers leave) is kept.
  std::size_t objects_end = objects_.empty() ? kHeaderFixedBytes : objects_.back().offset + objects_.back().size;
  std::string tail = header_.substr(objects_end);
  if (content_changed_ && !content_description_) {
    header += new_content_description;
    ++count;
  }
  if (album_changed_ && !extended_description_) {
    header += new_extended;
    ++count;
  }
  // The reader refuses files below kMinFileBytes; a header that shrank (a long descriptor
  // replaced by a short one) must not take the file below it, or the tags written never read.
  const std::size_t rest = contents->size() - header_.size();
  if (header.size() + tail.size() + rest < kMinFileBytes) {
    if (count + 1 > 0xFFFFFFFFu) return false;
    std::size_t padding = std::max<std::size_t>(kObjectHeaderBytes, kMinFileBytes - header.size() - tail.size() - rest);
    header += GuidBytes(kPaddingGuid) + LittleEndianBytes(padding, 8) + std::string(padding - kObjectHeaderBytes, '\0');
    ++count;
  }
  header += tail;
  PutLittleEndian(header, 16, header.size(), 8);
  PutLittleEndian(header, 24, count, 4);

  std::string out = header + contents->substr(header_.size());
  // The file properties object records the whole file's size.
  if (file_properties_at && file_properties_->size >= 48) {
    PutLittleEndian(out, *file_properties_at + 40, out.size(), 8);
  }
  file.SetContents(std::move(out));
  return true;
}

}  // namespace quillo::media
