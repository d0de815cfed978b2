#pragma once
// The callback of the login-type requests: collects each answer's bytes in memory and hands the
// whole body, with whether the transfer succeeded, to the handler given for that request. The
// body is handed on as it came (a login answer is descrambled by its reader).
//
// Window thread. Owns the collectors of its running requests; its owner cancels them (Cancel)
// or shuts the downloader down before destroying it.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "service/api/AnswerCollectors.h"
#include "service/api/SafeDownloaderSender.h"

namespace quillo::service {

class NormalCallback {
 public:
  // request id, succeeded, body (empty when the transfer failed).
  using Handler =
      std::function<void(const std::string& request_id, bool succeeded, std::string body)>;

  // The downloader must outlive this object.
  explicit NormalCallback(SafeDownloader& downloader)
      : downloader_(downloader), sender_(downloader) {}
  // Cancels every request still running, so no step reaches a destroyed collector.
  ~NormalCallback();
  NormalCallback(const NormalCallback&) = delete;
  NormalCallback& operator=(const NormalCallback&) = delete;

  // Starts the form POST; answers its transfer id (empty when the downloader has shut down).
  std::string Request(const std::string& url, std::optional<FormParams> parameters,
                      Handler handler);
  // Ends the request: no handler call follows. Unknown ids are ignored.
  void Cancel(const std::string& request_id);
  // Requests started and not yet ended or cancelled.
  std::size_t running() const { return running_ids_.size(); }

 private:
  SafeDownloader& downloader_;
  SafeDownloaderSender sender_;
  AnswerCollectors collectors_;
  std::vector<std::string> running_ids_;
};

}  // namespace quillo::service
