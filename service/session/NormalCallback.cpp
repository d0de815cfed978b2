#include "service/session/NormalCallback.h"

#include <memory>
#include <vector>

namespace quillo::service {

NormalCallback::~NormalCallback() {
  // Cancel() drops the collector too; ids are copied first because that changes the table.
  std::vector<std::string> ids = running_ids_;
  for (const std::string& id : ids) Cancel(id);
}

std::string NormalCallback::Request(const std::string& url, std::optional<FormParams> parameters,
                                    Handler handler) {
  // The id is known only once the request started; no step can arrive before (the steps run on
  // this thread), so the collector's handler reads it from here.
  auto id = std::make_shared<std::string>();
  auto collector = std::make_unique<AnswerCollector>(
      AnswerCollector::Form::kPlain,
      [this, id, handler = std::move(handler)](std::optional<std::string> text) {
        std::erase(running_ids_, *id);
        if (handler) handler(*id, text.has_value(), text ? std::move(*text) : std::string());
      });
  *id = collectors_.Request(sender_, url, std::move(parameters), std::move(collector));
  if (!id->empty()) running_ids_.push_back(*id);
  return *id;
}

void NormalCallback::Cancel(const std::string& request_id) {
  if (request_id.empty()) return;
  downloader_.Cancel(request_id);
  collectors_.Drop(request_id);
  std::erase(running_ids_, request_id);
}

}  // namespace quillo::service
