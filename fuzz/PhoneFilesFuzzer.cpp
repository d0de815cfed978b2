// The phone player's own files, read from a phone the user plugs in: the path record files and
// the player configuration. Each input is parsed as both; every text read must be UTF-8 that
// the writers take and give back unchanged (a configuration path cut to its record's width),
// and a configuration written from what was read reads back as the same configuration.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "device/PhoneFiles.h"
#include "platform/text/TextCodec.h"

namespace {

using namespace quillo::device;

void CheckPathRecords(std::string_view bytes) {
  const std::vector<std::string> paths = ParsePathRecords(bytes);
  FUZZ_CHECK(paths.size() == bytes.size() / kPathRecordBytes);
  std::string written;
  for (const std::string& path : paths) {
    FUZZ_CHECK(quillo::text::IsValidUtf8(path));
    FUZZ_CHECK(path.find('\0') == std::string::npos);
    const std::optional<std::string> record = EncodePathRecord(path);
    FUZZ_CHECK(record.has_value());
    FUZZ_CHECK(record->size() == kPathRecordBytes);
    written += *record;
  }
  FUZZ_CHECK(ParsePathRecords(written) == paths);
}

void CheckPlayerConfig(std::string_view bytes) {
  const PlayerConfig config = ParsePlayerConfig(bytes);
  FUZZ_CHECK(config.list_paths.size() ==
             (bytes.size() < kConfigHeaderBytes ? 0 : (bytes.size() - kConfigHeaderBytes) / kConfigRecordBytes));
  for (std::size_t i = 0; i < config.header.size(); ++i) {
    FUZZ_CHECK(config.header[i] == (i < bytes.size() ? static_cast<std::uint8_t>(bytes[i]) : 0));
  }
  for (const std::string& path : config.list_paths) {
    FUZZ_CHECK(quillo::text::IsValidUtf8(path));
    FUZZ_CHECK(path.find('\0') == std::string::npos);
  }

  const std::string written = EncodePlayerConfig(config);
  const std::size_t lists = std::min(config.list_paths.size(), kMaxPhoneLists);
  FUZZ_CHECK(written.size() == kConfigHeaderBytes + lists * kConfigRecordBytes);
  const PlayerConfig back = ParsePlayerConfig(written);
  FUZZ_CHECK(back.header[0] == '0' + lists);
  for (std::size_t i = 1; i < config.header.size(); ++i) FUZZ_CHECK(back.header[i] == config.header[i]);
  FUZZ_CHECK(back.counts == config.counts);
  FUZZ_CHECK(back.list_paths.size() == lists);
  for (std::size_t i = 0; i < lists; ++i) {
    const std::string& was = config.list_paths[i];
    const std::string& is = back.list_paths[i];
    if (quillo::text::Utf8ToUtf16(was).size() <= kConfigRecordUnits) {
      FUZZ_CHECK(is == was);
    } else {
      // Cut at a character: what is left is where the path began.
      FUZZ_CHECK(!is.empty());
      FUZZ_CHECK(was.compare(0, is.size(), is) == 0);
      FUZZ_CHECK(quillo::text::Utf8ToUtf16(is).size() <= kConfigRecordUnits);
    }
  }
  // What was written once is written again byte for byte.
  FUZZ_CHECK(EncodePlayerConfig(back) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckPathRecords(bytes);
  CheckPlayerConfig(bytes);
  return 0;
}
