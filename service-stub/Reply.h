#pragma once
// What a handler answers, before the fault rules and the writer turn it into bytes on the
// socket. A body is either text in memory or a slice of a file on disk (sent in pieces, never
// read whole). Document answers keep their plain XML until the writer scrambles them, so that
// the "unscrambled" and "malformed" rules can act on the document.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quillo::stub {

struct Reply {
  int status = 200;
  std::string content_type = "text/plain; charset=utf-8";
  std::vector<std::pair<std::string, std::string>> headers;

  std::string body;

  // A file slice instead of `body` when file_path is not empty.
  std::string file_path;
  std::uint64_t file_offset = 0;
  std::uint64_t file_length = 0;
  bool xor_5a = false;  // every byte XORed with 0x5A (qlfss1 mirror bodies)

  bool is_document = false;  // body holds an XML document
  bool scramble = false;     // the body (a document or a mirror list) is sent scrambled

  bool HasFile() const { return !file_path.empty(); }
  std::uint64_t Length() const { return HasFile() ? file_length : body.size(); }
  std::string Header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
      if (key == name) return value;
    }
    return {};
  }
  void SetHeader(const std::string& name, const std::string& value) {
    for (auto& [key, existing] : headers) {
      if (key == name) {
        existing = value;
        return;
      }
    }
    headers.emplace_back(name, value);
  }
};

}  // namespace quillo::stub
