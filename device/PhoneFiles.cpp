#include "device/PhoneFiles.h"

#include <algorithm>

#include "platform/text/TextCodec.h"

namespace quillo::device {
namespace {

// The UTF-16LE text of a fixed-size record up to its first zero code unit.
std::string RecordText(std::string_view record) {
  std::size_t end = 0;
  while (end + 1 < record.size() && (record[end] != 0 || record[end + 1] != 0)) end += 2;
  return text::Utf16LeBytesToUtf8(record.substr(0, end));
}

// The text in UTF-16LE cut to `units` code units (never inside a surrogate pair) and padded
// with zeros to `bytes`.
std::string FixedRecord(std::u16string units16, std::size_t units, std::size_t bytes) {
  if (units16.size() > units) {
    units16.resize(units);
    if (!units16.empty() && units16.back() >= 0xD800 && units16.back() <= 0xDBFF) units16.pop_back();
  }
  std::string out(bytes, '\0');
  for (std::size_t i = 0; i < units16.size(); ++i) {
    out[2 * i] = static_cast<char>(units16[i] & 0xFF);
    out[2 * i + 1] = static_cast<char>(units16[i] >> 8);
  }
  return out;
}

}  // namespace

std::vector<std::string> ParsePathRecords(std::string_view bytes) {
  std::vector<std::string> paths;
  for (std::size_t at = 0; at + kPathRecordBytes <= bytes.size(); at += kPathRecordBytes) {
    paths.push_back(RecordText(bytes.substr(at, kPathRecordBytes)));
  }
  return paths;
}

std::optional<std::string> EncodePathRecord(std::string_view utf8) {
  std::u16string units = text::Utf8ToUtf16(utf8);
  if (units.size() > kPathRecordUnits) return std::nullopt;
  return FixedRecord(std::move(units), kPathRecordUnits, kPathRecordBytes);
}

PlayerConfig ParsePlayerConfig(std::string_view bytes) {
  PlayerConfig config;
  for (std::size_t i = 0; i < config.header.size() && i < bytes.size(); ++i) {
    config.header[i] = static_cast<std::uint8_t>(bytes[i]);
  }
  for (std::size_t slot = 0; slot < kMaxPhoneLists; ++slot) {
    std::size_t at = 4 + 2 * slot;
    if (at + 2 > bytes.size()) break;
    config.counts[slot] = static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                                     static_cast<std::uint8_t>(bytes[at + 1]) << 8);
  }
  for (std::size_t at = kConfigHeaderBytes; at + kConfigRecordBytes <= bytes.size();
       at += kConfigRecordBytes) {
    config.list_paths.push_back(RecordText(bytes.substr(at, kConfigRecordBytes)));
  }
  return config;
}

std::string EncodePlayerConfig(const PlayerConfig& config) {
  const std::size_t lists = std::min(config.list_paths.size(), kMaxPhoneLists);
  std::string out(kConfigHeaderBytes, '\0');
  for (std::size_t i = 0; i < config.header.size(); ++i) out[i] = static_cast<char>(config.header[i]);
  out[0] = static_cast<char>('0' + lists);
  for (std::size_t slot = 0; slot < kMaxPhoneLists; ++slot) {
    out[4 + 2 * slot] = static_cast<char>(config.counts[slot] & 0xFF);
    out[5 + 2 * slot] = static_cast<char>(config.counts[slot] >> 8);
  }
  for (std::size_t i = 0; i < lists; ++i) {
    out += FixedRecord(text::Utf8ToUtf16(config.list_paths[i]), kConfigRecordUnits,
                       kConfigRecordBytes);
  }
  return out;
}

}  // namespace quillo::device
