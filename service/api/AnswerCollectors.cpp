#include "service/api/AnswerCollectors.h"

#include "service/transfer/TransferRecord.h"

namespace quillo::service {

std::string AnswerCollectors::Request(RequestSender& sender, const std::string& url,
                                      std::optional<FormParams> parameters,
                                      std::unique_ptr<AnswerCollector> collector) {
  // The downloader's steps run on this thread, so none can arrive before the collector is in.
  std::string id = sender.Request(url, std::move(parameters), this);
  if (!id.empty() && collector) collectors_[id] = std::move(collector);
  return id;
}

void AnswerCollectors::Drop(const std::string& id) {
  collectors_.erase(id);
}

AnswerCollector* AnswerCollectors::Find(const std::string& id) {
  auto it = collectors_.find(id);
  return it == collectors_.end() ? nullptr : it->second.get();
}

void AnswerCollectors::StartOf(const std::string& id) {
  if (AnswerCollector* collector = Find(id)) collector->Begin();
}

void AnswerCollectors::DataOf(const std::string& id, std::string_view chunk) {
  if (AnswerCollector* collector = Find(id)) collector->Append(chunk);
}

void AnswerCollectors::FinishOf(const std::string& id, TransferStatus status) {
  auto it = collectors_.find(id);
  if (it == collectors_.end()) return;
  // Out of the table before the handler runs: the handler may start new calls here.
  std::unique_ptr<AnswerCollector> collector = std::move(it->second);
  collectors_.erase(it);
  collector->Finish(status);
}

void AnswerCollectors::OnStart(TransferRecord& record) {
  StartOf(record.id());
}
void AnswerCollectors::OnData(TransferRecord& record) {
  DataOf(record.id(), record.chunk());
}
void AnswerCollectors::OnFinish(TransferRecord& record) {
  FinishOf(record.id(), record.status());
}

}  // namespace quillo::service
