#include "media/MP3ID3v2.h"

#include <array>

#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"

namespace quillo::media {
namespace {

constexpr std::size_t kHeaderBytes = 10;
constexpr std::uint32_t kMaxSynchsafe = (1u << 28) - 1;

// Frame flag bits (second flag byte) that make the content unreadable for us.
constexpr std::uint16_t kV3Compressed = 0x0080;
constexpr std::uint16_t kV3Encrypted = 0x0040;
constexpr std::uint16_t kV3Grouped = 0x0020;
constexpr std::uint16_t kV4Grouped = 0x0040;
constexpr std::uint16_t kV4Compressed = 0x0008;
constexpr std::uint16_t kV4Encrypted = 0x0004;
constexpr std::uint16_t kV4Unsynchronised = 0x0002;
constexpr std::uint16_t kV4LengthIndicator = 0x0001;

std::uint32_t BigEndian(std::string_view bytes, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

std::uint32_t Synchsafe(std::string_view bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = (value << 7) | (static_cast<unsigned char>(bytes[i]) & 0x7F);
  return value;
}

std::string SynchsafeBytes(std::uint32_t value) {
  return {static_cast<char>((value >> 21) & 0x7F), static_cast<char>((value >> 14) & 0x7F),
          static_cast<char>((value >> 7) & 0x7F), static_cast<char>(value & 0x7F)};
}

std::string BigEndianBytes(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}

// Undoes unsynchronisation: every 0xFF 0x00 becomes 0xFF.
std::string Resynchronise(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out.push_back(bytes[i]);
    if (static_cast<unsigned char>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
  }
  return out;
}

// How many bytes of `raw` make the first `synced` bytes once resynchronised.
std::size_t RawLengthOf(std::string_view raw, std::size_t synced) {
  std::size_t i = 0;
  for (std::size_t n = 0; n < synced && i < raw.size(); ++n) {
    if (static_cast<unsigned char>(raw[i]) == 0xFF && i + 1 < raw.size() && raw[i + 1] == '\0') ++i;
    ++i;
  }
  return i;
}

bool IsFrameIdChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// Which field a frame carries; the 2.2 names map to their 2.3 names.
enum class Field { kNone, kTitle, kArtist, kAlbum, kYear, kRecordingTime, kComment, kGenre };

Field FieldOf(std::string_view id) {
  static const std::array<std::pair<std::string_view, Field>, 13> kFields = {{
      {"TIT2", Field::kTitle}, {"TT2", Field::kTitle},
      {"TPE1", Field::kArtist}, {"TP1", Field::kArtist},
      {"TALB", Field::kAlbum}, {"TAL", Field::kAlbum},
      {"TYER", Field::kYear}, {"TYE", Field::kYear}, {"TDRC", Field::kRecordingTime},
      {"COMM", Field::kComment}, {"COM", Field::kComment},
      {"TCON", Field::kGenre}, {"TCO", Field::kGenre},
  }};
  for (const auto& [name, field] : kFields) {
    if (name == id) return field;
  }
  return Field::kNone;
}

// The content of a frame with the flag-given extras removed; no value for compressed or
// encrypted frames, which we cannot read.
std::optional<std::string> ReadableContent(int major, const MP3ID3v2::Frame& frame) {
  std::string_view content = frame.content;
  if (major == 3) {
    if (frame.flags & (kV3Compressed | kV3Encrypted)) return std::nullopt;
    if (frame.flags & kV3Grouped) content = content.substr(std::min<std::size_t>(1, content.size()));
    return std::string(content);
  }
  if (major == 4) {
    if (frame.flags & (kV4Compressed | kV4Encrypted)) return std::nullopt;
    if (frame.flags & kV4Grouped) content = content.substr(std::min<std::size_t>(1, content.size()));
    if (frame.flags & kV4LengthIndicator) content = content.substr(std::min<std::size_t>(4, content.size()));
    if (frame.flags & kV4Unsynchronised) return Resynchronise(content);
  }
  return std::string(content);
}

bool IsUtf16(unsigned char encoding) { return encoding == 1 || encoding == 2; }

// Length of a terminated string in the encoding (without the terminator), from `from`.
std::size_t TerminatedLength(std::string_view bytes, unsigned char encoding) {
  if (IsUtf16(encoding)) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      if (bytes[i] == '\0' && bytes[i + 1] == '\0') return i;
    }
    return bytes.size() - bytes.size() % 2;
  }
  std::size_t zero = bytes.find('\0');
  return zero == std::string_view::npos ? bytes.size() : zero;
}

std::size_t TerminatorBytes(unsigned char encoding) { return IsUtf16(encoding) ? 2 : 1; }

std::string DecodeString(std::string_view bytes, unsigned char encoding) {
  bytes = bytes.substr(0, TerminatedLength(bytes, encoding));
  switch (encoding) {
    case 0:
      return text::GbkToUtf8(bytes);
    case 1: {
      if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
          static_cast<unsigned char>(bytes[1]) == 0xFF) {
        return text::Utf16BeBytesToUtf8(bytes.substr(2));
      }
      if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
          static_cast<unsigned char>(bytes[1]) == 0xFE) {
        bytes = bytes.substr(2);
      }
      // Without a byte order mark, little-endian is what the writers in the wild use.
      return text::Utf16LeBytesToUtf8(bytes);
    }
    case 2:
      return text::Utf16BeBytesToUtf8(bytes);
    default:
      return text::SanitizeUtf8(bytes);
  }
}

struct Comment {
  std::string language;
  std::string description;
  std::string text;
};

// "COMM": encoding, language (3), short description (terminated), text.
std::optional<Comment> ParseComment(std::string_view content) {
  if (content.size() < 4) return std::nullopt;
  unsigned char encoding = static_cast<unsigned char>(content[0]);
  if (encoding > 3) return std::nullopt;
  Comment comment;
  comment.language = std::string(content.substr(1, 3));
  std::string_view rest = content.substr(4);
  std::size_t description_bytes = TerminatedLength(rest, encoding);
  comment.description = DecodeString(rest.substr(0, description_bytes), encoding);
  std::size_t skip = std::min(rest.size(), description_bytes + TerminatorBytes(encoding));
  comment.text = DecodeString(rest.substr(skip), encoding);
  return comment;
}

// A "COMM" without a description holds the user's comment. Comment frames with a description
// are other players' private notes ("iTunNORM"...).
bool IsUserComment(int major, const MP3ID3v2::Frame& frame) {
  if (FieldOf(frame.id) != Field::kComment) return false;
  auto content = ReadableContent(major, frame);
  if (!content) return false;
  auto comment = ParseComment(*content);
  return comment && comment->description.empty();
}

// Index of the frame that holds the user's comment: the first such frame.
std::optional<std::size_t> CommentFrameIndex(const MP3ID3v2::Tag& tag) {
  for (std::size_t i = 0; i < tag.frames.size(); ++i) {
    if (IsUserComment(tag.major_version, tag.frames[i])) return i;
  }
  return std::nullopt;
}

}  // namespace

std::string MP3ID3v2::DecodeText(std::string_view content) {
  if (content.empty()) return {};
  unsigned char encoding = static_cast<unsigned char>(content[0]);
  // An unknown first byte is no encoding byte: the text starts right there, as single bytes.
  if (encoding > 3) return DecodeString(content, 0);
  return DecodeString(content.substr(1), encoding);
}

std::string MP3ID3v2::EncodeText(std::string_view utf8) {
  if (text::IsAscii(utf8)) return std::string(1, '\0') + std::string(utf8);
  return std::string("\x01\xFF\xFE", 3) + text::Utf8ToUtf16LeBytes(utf8);
}

std::optional<MP3ID3v2::Tag> MP3ID3v2::Parse(std::string_view bytes, std::uint64_t file_size) {
  if (bytes.size() < kHeaderBytes || bytes.substr(0, 3) != "ID3") return std::nullopt;
  Tag tag;
  tag.major_version = static_cast<unsigned char>(bytes[3]);
  if (tag.major_version < 2 || tag.major_version > 4) return std::nullopt;
  unsigned char flags = static_cast<unsigned char>(bytes[5]);
  std::uint32_t size = Synchsafe(bytes.substr(6, 4));
  if (size < 1) return std::nullopt;
  tag.total_bytes = kHeaderBytes + size + ((tag.major_version == 4 && (flags & 0x10)) ? 10 : 0);
  // A tag that claims more than the file holds ends, as far as anyone can tell, after its last
  // whole frame: what follows is kept as the file's, so a rewrite cannot swallow the audio.
  const bool overruns = tag.total_bytes > file_size;

  std::string_view available = bytes.substr(kHeaderBytes);
  const std::string_view stored = available.substr(0, std::min<std::size_t>(size, available.size()));
  const bool unsynchronised = (flags & 0x80) && tag.major_version < 4;
  std::string body(stored);
  if (unsynchronised) body = Resynchronise(body);
  auto finish = [&](std::size_t body_end) {
    if (overruns) {
      tag.total_bytes = kHeaderBytes + (unsynchronised ? RawLengthOf(stored, body_end) : body_end);
    }
    return tag;
  };

  std::size_t pos = 0;
  if ((flags & 0x40) && tag.major_version >= 3) {
    if (body.size() < 4) return finish(0);
    std::uint32_t extended = tag.major_version == 3 ? BigEndian(body, 4) + 4 : Synchsafe(body);
    if (extended > body.size()) return finish(0);
    pos = extended;
  }

  const bool old_layout = tag.major_version == 2;
  const std::size_t frame_header = old_layout ? 6 : 10;
  const std::size_t id_bytes = old_layout ? 3 : 4;
  while (pos + frame_header <= body.size()) {
    std::string_view header(body.data() + pos, frame_header);
    if (header[0] == '\0') break;  // padding
    bool valid_id = true;
    for (std::size_t i = 0; i < id_bytes; ++i) valid_id = valid_id && IsFrameIdChar(header[i]);
    if (!valid_id) break;
    std::uint32_t frame_size = 0;
    Frame frame;
    frame.id = std::string(header.substr(0, id_bytes));
    if (old_layout) {
      frame_size = BigEndian(header.substr(3), 3);
    } else {
      std::string_view size_bytes = header.substr(4, 4);
      bool synchsafe_form = true;
      for (char c : size_bytes) synchsafe_form = synchsafe_form && !(static_cast<unsigned char>(c) & 0x80);
      // Some 2.4 writers store plain sizes; a byte with its high bit set can only mean that.
      frame_size = tag.major_version == 4 && synchsafe_form ? Synchsafe(size_bytes)
                                                            : BigEndian(size_bytes, 4);
      frame.flags = static_cast<std::uint16_t>(BigEndian(header.substr(8), 2));
    }
    if (frame_size > body.size() - pos - frame_header) break;  // runs past the tag
    frame.content = body.substr(pos + frame_header, frame_size);
    tag.frames.push_back(std::move(frame));
    pos += frame_header + frame_size;
  }
  return finish(pos);
}

void MP3ID3v2::Fill(const Tag& tag, TagInfo& info) {
  bool have[8] = {};
  std::string recording_time;
  for (const Frame& frame : tag.frames) {
    Field field = FieldOf(frame.id);
    if (field == Field::kNone || field == Field::kComment || have[static_cast<int>(field)]) continue;
    auto content = ReadableContent(tag.major_version, frame);
    if (!content) continue;
    have[static_cast<int>(field)] = true;
    std::string value = DecodeText(*content);
    switch (field) {
      case Field::kTitle: info.title = std::move(value); break;
      case Field::kArtist: info.artist = std::move(value); break;
      case Field::kAlbum: info.album = std::move(value); break;
      case Field::kYear: info.year = std::move(value); break;
      case Field::kRecordingTime: recording_time = std::move(value); break;
      case Field::kGenre: info.genre = std::move(value); break;
      default: break;
    }
  }
  // Version 2.4 has no "TYER"; its recording time starts with the year. A "TYER" some other
  // writer left in a 2.4 tag does not hide the recording time, which is what our writer changes.
  const bool recording_time_first = tag.major_version == 4;
  if ((recording_time_first || !have[static_cast<int>(Field::kYear)]) && !recording_time.empty()) {
    // Four bytes, but never half a character: the fields are UTF-8 text.
    std::size_t end = std::min<std::size_t>(4, recording_time.size());
    while (end > 0 && end < recording_time.size() &&
           (static_cast<unsigned char>(recording_time[end]) & 0xC0) == 0x80) {
      --end;
    }
    info.year = recording_time.substr(0, end);
  }
  if (auto index = CommentFrameIndex(tag)) {
    auto content = ReadableContent(tag.major_version, tag.frames[*index]);
    if (auto comment = ParseComment(*content)) info.comment = comment->text;
  }
}

bool MP3ID3v2::Read(TagFile& file, TagInfo& info) {
  std::string header = file.ReadAt(0, kHeaderBytes);
  if (header.size() < kHeaderBytes || header.compare(0, 3, "ID3") != 0) return false;
  std::uint64_t tag_bytes = kHeaderBytes + Synchsafe(std::string_view(header).substr(6, 4));
  std::string bytes = file.ReadAt(0, static_cast<std::size_t>(std::min<std::uint64_t>(tag_bytes, file.Size())));
  auto tag = Parse(bytes, file.Size());
  if (!tag) return false;
  Fill(*tag, info);
  return true;
}

std::optional<std::string> MP3ID3v2::Rewrite(std::string_view contents, const TagInfo& info) {
  std::optional<Tag> old = Parse(contents, contents.size());
  int major = old && old->major_version == 4 ? 4 : 3;
  // Tags stacked one after another at the start are all replaced by the one written: readers
  // see only the first, so a later one would surface with old fields once the first is dropped,
  // and each write would change the file again.
  std::vector<Tag> stack;
  std::size_t audio_start = 0;
  if (old) {
    audio_start = std::min(old->total_bytes, contents.size());
    stack.push_back(std::move(*old));
    while (auto next = Parse(contents.substr(audio_start), contents.size() - audio_start)) {
      audio_start += std::min(next->total_bytes, contents.size() - audio_start);
      stack.push_back(std::move(*next));
    }
  }
  // A 2.2 tag's frames cannot be carried into a 2.3 tag; the new tag replaces it whole. A
  // stacked tag of the other of 2.3 and 2.4 gives its frames without flags, whose layout is
  // the same in both (flags mean different things in each).
  auto carried = [major](const Tag& tag, const Frame& frame, bool first) {
    if (tag.major_version < 3) return false;
    return first || tag.major_version == major || frame.flags == 0;
  };

  auto frame_bytes = [major](std::string_view id, std::uint16_t flags, std::string_view content) {
    std::string out(id);
    out += major == 4 ? SynchsafeBytes(static_cast<std::uint32_t>(content.size()))
                      : BigEndianBytes(static_cast<std::uint32_t>(content.size()));
    out.push_back(static_cast<char>(flags >> 8));
    out.push_back(static_cast<char>(flags & 0xFF));
    out += content;
    return out;
  };
  auto comment_content = [](std::string_view language, std::string_view text) {
    std::string encoded = EncodeText(text);
    std::string out(1, encoded[0]);
    out += language.size() == 3 ? std::string(language) : std::string("eng");
    out += encoded[0] == '\0' ? std::string(1, '\0') : std::string("\xFF\xFE\0\0", 4);
    out += encoded.substr(1);
    return out;
  };

  const std::string year_id = major == 4 ? "TDRC" : "TYER";
  struct Wanted {
    Field field;
    std::string id;
    const std::string* value;
    bool written = false;
  };
  std::array<Wanted, 6> wanted = {{{Field::kTitle, "TIT2", &info.title},
                                   {Field::kArtist, "TPE1", &info.artist},
                                   {Field::kAlbum, "TALB", &info.album},
                                   {Field::kYear, year_id, &info.year},
                                   {Field::kComment, "COMM", &info.comment},
                                   {Field::kGenre, "TCON", &info.genre}}};
  auto wanted_for = [&](Field field) -> Wanted* {
    if (field == Field::kRecordingTime) field = Field::kYear;
    for (Wanted& w : wanted) {
      if (w.field == field) return &w;
    }
    return nullptr;
  };

  std::string frames;
  for (std::size_t t = 0; t < stack.size(); ++t) {
    const Tag& tag = stack[t];
    for (const Frame& frame : tag.frames) {
      if (!carried(tag, frame, t == 0)) continue;
      Field field = FieldOf(frame.id);
      // A "TDRC" in a 2.3 tag or a "TYER" in a 2.4 tag is another writer's business.
      bool ours = field != Field::kNone && field != Field::kComment &&
                  !(field == Field::kYear && major == 4) &&
                  !(field == Field::kRecordingTime && major == 3);
      // Every user comment is ours: the first is rewritten and the others collapse into it, so
      // that a duplicate cannot surface as the comment once the first is cleared.
      if (field == Field::kComment) ours = IsUserComment(tag.major_version, frame);
      if (!ours) {
        frames += frame_bytes(frame.id, frame.flags, frame.content);
        continue;
      }
      Wanted* w = wanted_for(field);
      if (w->written) continue;  // duplicates of our fields collapse into one
      w->written = true;
      if (w->value->empty()) continue;
      if (field == Field::kComment) {
        auto content = ReadableContent(tag.major_version, frame);
        auto comment = content ? ParseComment(*content) : std::nullopt;
        frames += frame_bytes("COMM", 0, comment_content(comment ? comment->language : "eng", *w->value));
      } else {
        frames += frame_bytes(w->id, 0, EncodeText(*w->value));
      }
    }
  }
  for (Wanted& w : wanted) {
    if (w.written || w.value->empty()) continue;
    frames += frame_bytes(w.id, 0,
                          w.field == Field::kComment ? comment_content("eng", *w.value) : EncodeText(*w.value));
  }
  if (frames.size() > kMaxSynchsafe) return std::nullopt;
  // A tag with no frames would have size 0, which readers (ours too) do not take for a tag: the
  // next write would keep it as audio and put another in front of it. No frames, no tag.
  if (frames.empty()) return std::string(contents.substr(audio_start));

  std::string out("ID3");
  out.push_back(static_cast<char>(major));
  out.push_back('\0');
  out.push_back('\0');
  out += SynchsafeBytes(static_cast<std::uint32_t>(frames.size()));
  out += frames;
  out.append(contents.substr(audio_start));
  return out;
}

bool MP3ID3v2::Write(TagFile& file, const TagInfo& info) {
  const std::string* contents = file.Contents();
  if (!contents) return false;
  auto rewritten = Rewrite(*contents, info);
  if (!rewritten) return false;
  file.SetContents(std::move(*rewritten));
  return true;
}

}  // namespace quillo::media
