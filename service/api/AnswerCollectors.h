#pragma once
// Owns the one-shot answer collectors of running service calls. It is the safe downloader
// callback of every call it starts and routes each step to the collector of that transfer id;
// when the transfer ends the collector hands its answer on and is released here, so no collector
// has to delete itself.
//
// Window thread. The registry must outlive its transfers: its owner cancels them (Cancel, or the
// downloader's Shutdown) before destroying it.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "service/api/AnswerCollector.h"
#include "service/api/RequestSender.h"
#include "service/transfer/SafeDownloaderCallback.h"

namespace quillo::service {

class AnswerCollectors : public SafeDownloaderCallback {
 public:
  // Starts the form POST with this registry as its callback and keeps the collector until the
  // transfer ends. Answers the transfer id.
  std::string Request(RequestSender& sender, const std::string& url,
                      std::optional<FormParams> parameters,
                      std::unique_ptr<AnswerCollector> collector);

  // Releases the collector of a transfer that was cancelled (no callback follows a Cancel),
  // without handing anything on.
  void Drop(const std::string& id);
  std::size_t size() const { return collectors_.size(); }

  void OnStart(TransferRecord& record) override;
  void OnData(TransferRecord& record) override;
  void OnFinish(TransferRecord& record) override;

  // The same steps by transfer id; unknown ids are ignored.
  void StartOf(const std::string& id);
  void DataOf(const std::string& id, std::string_view chunk);
  void FinishOf(const std::string& id, TransferStatus status);

 private:
  AnswerCollector* Find(const std::string& id);

  std::map<std::string, std::unique_ptr<AnswerCollector>> collectors_;
};

}  // namespace quillo::service
