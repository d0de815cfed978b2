#include "service/sync/MirrorRequests.h"

#include <algorithm>
#include <utility>

#include "service/api/RequestSender.h"
#include "service/transfer/TransferRecord.h"
#include "store/DocumentStore.h"
#include "store/MirrorOutbox.h"

namespace quillo::service {
namespace {

bool IsLoggedIn(const std::string& user_id) { return !user_id.empty() && user_id != "0"; }

// The command a request mirrors, in the words of its menu.
std::string CommandText(const std::string& path) {
  static constexpr std::pair<std::string_view, std::string_view> kCommands[] = {
      {"api/createplaylist.php", "新建播放列表"},
      {"api/updateplaylist.php", "修改名称"},
      {"api/deleteplaylist.php", "删除播放列表"},
      {"api/clearplaylist.php", "清空列表"},
      {"api/addmusictoplaylist.php", "添加到播放列表"},
      {"api/deletemusicfromplaylist.php", "移出播放列表"},
      {"api/addmusic.php", "添加到曲库"},
      {"api/deletemusic.php", "删除歌曲"},
  };
  const std::string_view endpoint = std::string_view(path).substr(0, path.find('?'));
  for (const auto& [name, text] : kCommands) {
    if (endpoint == name) return std::string(text);
  }
  return std::string(endpoint);
}

enum class Outcome { kDelivered, kNotDelivered, kBusy, kRefused };

Outcome OutcomeOf(const TransferRecord& record, bool login_checked) {
  if (record.status() == TransferStatus::kFinished) return Outcome::kDelivered;
  const unsigned status = record.http_status();
  if (status == 0) return Outcome::kNotDelivered;
  if (status == 401) return login_checked ? Outcome::kRefused : Outcome::kNotDelivered;
  if (status == 408 || status == 429 || status >= 500) return Outcome::kBusy;
  return Outcome::kRefused;
}

}  // namespace

MirrorRequests::MirrorRequests(store::MirrorOutbox& outbox, store::DocumentStore& store,
                               RequestSender& sender, BaseUrl base_url)
    : outbox_(outbox), store_(store), sender_(sender), base_url_(std::move(base_url)) {}

void MirrorRequests::Send(const ServiceCall& call) {
  const std::string user = store_.CurrentUser();
  if (!IsLoggedIn(user)) {
    sender_.Request(base_url_() + call.path, call.params, nullptr);
    return;
  }
  outbox_.Add(user, call.path, call.params);
  Pump();
}

void MirrorRequests::Flush(const std::string& user_id, std::function<void()> done) {
  if (done) waiting_.push_back(std::move(done));
  // A round already on its way for this user takes the caller along; a request on its way for
  // another user ends first (its answer pumps on).
  flush_user_ = user_id;
  flushing_ = true;
  Pump();
}

bool MirrorRequests::HasPending(const std::string& user_id) const {
  return outbox_.FirstOf(user_id).has_value();
}

loop::Subscription MirrorRequests::AddMessageSink(MessageSink sink) {
  const int id = ++next_sink_;
  sinks_.emplace_back(id, std::move(sink));
  return loop::Subscription([this, id, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.expired()) return;
    std::erase_if(sinks_, [id](const auto& entry) { return entry.first == id; });
  });
}

std::string MirrorRequests::RoundUser() const {
  return flushing_ ? flush_user_ : store_.CurrentUser();
}

void MirrorRequests::Pump() {
  if (!in_flight_.empty()) return;
  const std::string user = RoundUser();
  std::optional<store::MirrorOutbox::Entry> entry;
  if (IsLoggedIn(user)) entry = outbox_.FirstOf(user);
  if (!entry) {
    EndRound();
    return;
  }
  const std::string id = sender_.Request(base_url_() + entry->path, entry->params, this);
  if (id.empty()) {
    // The downloader has shut down: the request stays for the next run.
    EndRound();
    return;
  }
  in_flight_ = id;
  in_flight_entry_ = entry->id;
  in_flight_checked_ = flushing_;
}

void MirrorRequests::OnFinish(TransferRecord& record) {
  if (record.id() != in_flight_) return;
  in_flight_.clear();
  const std::uint64_t entry_id = in_flight_entry_;
  in_flight_entry_ = 0;
  std::string message;
  switch (OutcomeOf(record, in_flight_checked_)) {
    case Outcome::kDelivered:
      outbox_.Remove(entry_id);
      break;
    case Outcome::kNotDelivered:
      // Everything after it waits too, so that the order holds.
      EndRound();
      return;
    case Outcome::kBusy:
      if (outbox_.CountTry(entry_id) < kMaxTries) {
        EndRound();
        return;
      }
      [[fallthrough]];
    case Outcome::kRefused: {
      std::string path;
      for (const store::MirrorOutbox::Entry& entry : outbox_.Entries()) {
        if (entry.id == entry_id) path = entry.path;
      }
      outbox_.Remove(entry_id);
      message = std::string(kRefusedText) + CommandText(path) + "（" +
                std::to_string(record.http_status()) + "）";
      break;
    }
  }
  // The next request goes out before the message, which may wait for the user.
  Pump();
  if (!message.empty()) Report(message);
}

void MirrorRequests::EndRound() {
  flushing_ = false;
  flush_user_.clear();
  std::vector<std::function<void()>> waiting = std::move(waiting_);
  waiting_.clear();
  for (std::function<void()>& done : waiting) done();
}

void MirrorRequests::Report(const std::string& message) {
  // A sink may run a nested loop in which sinks come and go: call copies.
  std::vector<MessageSink> sinks;
  for (const auto& entry : sinks_) sinks.push_back(entry.second);
  for (const MessageSink& sink : sinks) sink(message);
}

}  // namespace quillo::service
