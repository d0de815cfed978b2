#pragma once
// Builders of tag bytes for the tag tests: ID3v2 frames and tags, ID3v1 blocks and ASF headers.
#include <cstdint>
#include <string>
#include <vector>

namespace quillo::testing {

inline std::string Synchsafe(std::uint32_t v) {
  return {char((v >> 21) & 0x7F), char((v >> 14) & 0x7F), char((v >> 7) & 0x7F), char(v & 0x7F)};
}
inline std::string BigEndian32(std::uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

// One frame of a 2.3 (plain size) or 2.4 (synchsafe size) tag.
inline std::string Frame(const std::string& id, const std::string& content, int major = 3) {
  std::uint32_t size = static_cast<std::uint32_t>(content.size());
  return id + (major == 4 ? Synchsafe(size) : BigEndian32(size)) + std::string(2, '\0') + content;
}

inline std::string Tag(const std::string& frames, int major = 3, std::size_t padding = 0) {
  return std::string("ID3") + char(major) + '\0' + '\0' +
         Synchsafe(static_cast<std::uint32_t>(frames.size() + padding)) + frames + std::string(padding, '\0');
}

inline std::string Utf16Le(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    out.push_back(char(c & 0xFF));
    out.push_back(char(c >> 8));
  }
  return out;
}
inline std::string Utf16Be(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    out.push_back(char(c >> 8));
    out.push_back(char(c & 0xFF));
  }
  return out;
}

// Stand-in audio: MPEG frame sync bytes and a counter, so shifted or cut audio shows.
inline std::string FakeAudio(std::size_t bytes) {
  std::string audio;
  for (std::size_t i = 0; i < bytes; ++i) audio.push_back(i % 417 == 0 ? '\xFF' : char(i * 7));
  return audio;
}

inline std::string Id3v1Block(const std::string& title, const std::string& artist, const std::string& album,
                              const std::string& year, const std::string& comment, unsigned char genre,
                              const char* marker = "TAG") {
  std::string block(128, '\0');
  block.replace(0, 3, marker);
  block.replace(3, title.size(), title);
  block.replace(33, artist.size(), artist);
  block.replace(63, album.size(), album);
  block.replace(93, year.size(), year);
  block.replace(97, comment.size(), comment);
  block[127] = char(genre);
  return block;
}

// ---- ASF ------------------------------------------------------------------------------------
inline const std::string kAsfHeaderGuid("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
inline const std::string kAsfContentGuid("\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
inline const std::string kAsfExtendedGuid("\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
inline const std::string kAsfFilePropertiesGuid("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
inline const std::string kAsfDataGuid("\x36\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);

inline std::string LittleEndian(std::uint64_t v, int width) {
  std::string out;
  for (int i = 0; i < width; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
  return out;
}
inline std::uint64_t ReadLittleEndian(const std::string& bytes, std::size_t at, int width) {
  std::uint64_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

inline std::string AsfObject(const std::string& guid, const std::string& body) {
  return guid + LittleEndian(24 + body.size(), 8) + body;
}

inline std::string AsfFileProperties() { return AsfObject(kAsfFilePropertiesGuid, std::string(80, '\0')); }

inline std::string AsfContentDescription(const std::u16string& title, const std::u16string& author) {
  std::string t = title.empty() ? "" : Utf16Le(title + u'\0');
  std::string a = author.empty() ? "" : Utf16Le(author + u'\0');
  std::string body = LittleEndian(t.size(), 2) + LittleEndian(a.size(), 2) + LittleEndian(0, 2) +
                     LittleEndian(0, 2) + LittleEndian(0, 2) + t + a;
  return AsfObject(kAsfContentGuid, body);
}

struct AsfDescriptor {
  std::u16string name;
  std::uint16_t type;
  std::string value;
};
inline std::string AsfExtended(const std::vector<AsfDescriptor>& descriptors) {
  std::string body = LittleEndian(descriptors.size(), 2);
  for (const AsfDescriptor& d : descriptors) {
    std::string name = Utf16Le(d.name + u'\0');
    body += LittleEndian(name.size(), 2) + name + LittleEndian(d.type, 2) + LittleEndian(d.value.size(), 2) + d.value;
  }
  return AsfObject(kAsfExtendedGuid, body);
}

// A whole file: header with the objects, then a data object padded to `file_bytes`.
inline std::string AsfFile(const std::vector<std::string>& objects, std::size_t file_bytes = 24000) {
  std::string inner;
  for (const std::string& o : objects) inner += o;
  std::string header = kAsfHeaderGuid + LittleEndian(30 + inner.size(), 8) + LittleEndian(objects.size(), 4) +
                       std::string("\x01\x02", 2) + inner;
  std::string data = kAsfDataGuid + LittleEndian(0, 8) + FakeAudio(file_bytes > header.size() + 24 ? file_bytes - header.size() - 24 : 0);
  return header + data;
}

}  // namespace quillo::testing
