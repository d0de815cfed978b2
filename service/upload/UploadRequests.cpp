#include "service/upload/UploadRequests.h"

#include <limits>

namespace quillo::service {
namespace {

constexpr std::string_view kUploadScript = "/api/upload.php?action=";

std::string EncodeId(std::string_view id) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(id.size());
  for (unsigned char c : id) {
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '~';
    if (unreserved) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

}  // namespace

std::string UploadStartPath() {
  return std::string(kUploadScript) + "start";
}

std::string UploadSendPath(std::string_view upload_id, std::uint64_t offset) {
  return std::string(kUploadScript) + "send&id=" + EncodeId(upload_id) +
         "&seek=" + std::to_string(offset);
}

std::string UploadEndPath(std::string_view upload_id) {
  return std::string(kUploadScript) + "end&id=" + EncodeId(upload_id);
}

std::string UploadIdFromAnswer(std::string_view answer) {
  constexpr std::string_view kOpen = "id:'";
  constexpr std::string_view kClose = "'}";
  const std::size_t open = answer.find(kOpen);
  if (open == std::string_view::npos) return {};
  const std::size_t begin = open + kOpen.size();
  const std::size_t close = answer.find(kClose, begin);
  if (close == std::string_view::npos) return {};
  return std::string(answer.substr(begin, close - begin));
}

std::optional<std::uint64_t> FileLengthFromAnswer(std::string_view answer) {
  constexpr std::string_view kMarker = "file_length:";
  const std::size_t marker = answer.find(kMarker);
  if (marker == std::string_view::npos) return 0;
  std::string_view rest = answer.substr(marker + kMarker.size());
  rest = rest.substr(0, rest.find('}'));
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
  if (i < rest.size() && rest[i] == '-') {
    // "-0" is still zero; any other negative count is nonsense.
    std::size_t j = i + 1;
    while (j < rest.size() && rest[j] == '0') ++j;
    if (j < rest.size() && rest[j] >= '1' && rest[j] <= '9') return std::nullopt;
    return 0;
  }
  if (i < rest.size() && rest[i] == '+') ++i;
  constexpr std::uint64_t kMax =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  std::uint64_t value = 0;
  for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
    const auto digit = static_cast<std::uint64_t>(rest[i] - '0');
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace quillo::service
