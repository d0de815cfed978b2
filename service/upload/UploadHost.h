#pragma once
// The two blocking routines that reach the upload host. Each call is one request of its own;
// an answer is the first 1024 bytes of the body as text, and every failure (no connection,
// refused status of a POST, lost connection) gives an empty answer.
//
// Called on upload worker threads; an implementation must allow calls from several workers at
// once.
#include <string>
#include <string_view>

namespace quillo::service {

inline constexpr std::size_t kUploadAnswerMaxBytes = 1024;

class UploadHost {
 public:
  virtual ~UploadHost() = default;
  // A GET of `path` ("/api/..."); the body is read whatever the status.
  virtual std::string HostGet(std::string_view path) = 0;
  // A POST of `path` with `body` as its raw body; the answer is read only for 200 and 201.
  virtual std::string HostPost(std::string_view path, std::string_view body) = 0;
};

}  // namespace quillo::service
