#include "service-stub/RequestLog.h"

#include "service-stub/JsonWriter.h"

namespace quillo::stub {
namespace {

void WritePairs(JsonWriter& json, const std::vector<std::pair<std::string, std::string>>& pairs) {
  json.BeginArray();
  for (const auto& [name, value] : pairs) json.BeginArray().String(name).String(value).EndArray();
  json.EndArray();
}

}  // namespace

std::int64_t RequestLog::Append(LoggedRequest request) {
  std::lock_guard lock(mutex_);
  request.seq = next_seq_++;
  entries_.push_back(std::move(request));
  while (entries_.size() > kCapacity) entries_.pop_front();
  return entries_.back().seq;
}

void RequestLog::SetStatus(std::int64_t seq, int status) {
  std::lock_guard lock(mutex_);
  // Entries are in seq order; the one asked for is almost always near the end.
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->seq == seq) {
      it->status = status;
      return;
    }
    if (it->seq < seq) return;
  }
}

void RequestLog::Clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

std::string RequestLog::ToJson(std::int64_t since) {
  std::lock_guard lock(mutex_);
  JsonWriter json;
  json.BeginObject().Key("requests").BeginArray();
  for (const auto& entry : entries_) {
    if (entry.seq <= since) continue;
    json.BeginObject()
        .Field("seq", entry.seq)
        .Field("server", entry.server)
        .Field("method", entry.method)
        .Field("path", entry.path);
    json.Key("query");
    WritePairs(json, entry.query.pairs());
    json.Key("form");
    WritePairs(json, entry.form.pairs());
    json.Key("headers");
    WritePairs(json, entry.headers);
    json.Field("body_bytes", static_cast<std::int64_t>(entry.body_bytes))
        .Field("status", entry.status)
        .EndObject();
  }
  json.EndArray().Field("next_seq", next_seq_).EndObject();
  return json.text();
}

}  // namespace quillo::stub
