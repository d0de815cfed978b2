#pragma once
// Sends the mirror requests (the playlist and library changes) so that none is lost while the
// service cannot be reached. A change made for a logged-in user is first kept in the outbox of
// the data file, then sent; it leaves the outbox when the service answered it, or when the
// service refused it (with a message: a refused request is never sent again). A request that
// did not reach the service stays, with every later one of the user behind it, and goes out on
// the next change or before the next login is merged (Flush).
//
// One request is on its way at a time, oldest first, so the service sees the changes in the
// order they were made (a list is made before songs are added to it). Changes made while nobody
// is logged in are sent once, as they always were: the service refuses them, and no later user
// should inherit them.
//
// How an answer counts: 2xx delivered; no answer at all (connection refused, time-out) not
// delivered; 401 not delivered while no login has been checked in this round, refused after one
// was (Flush); 408, 429 and 5xx count as a try, refused after kMaxTries; any other status
// refused.
//
// Window thread (the downloader's callbacks run there). The outbox, the store and the sender
// outlive this object; the downloader must have shut down (or finished the request on its way)
// before it goes. A request cut off by the shutdown stays in the outbox.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/loop/Subscription.h"
#include "service/api/ServiceCall.h"
#include "service/transfer/SafeDownloaderCallback.h"

namespace quillo::store {
class DocumentStore;
class MirrorOutbox;
}  // namespace quillo::store

namespace quillo::service {

class RequestSender;

class MirrorRequests : public SafeDownloaderCallback {
 public:
  // A busy service gets this many sends of one request before the request is given up.
  static constexpr int kMaxTries = 5;
  // The message for a dropped request; the command's menu text and the status follow.
  static constexpr std::string_view kRefusedText = "服务器没有接受离线时的修改，已放弃：";

  using BaseUrl = std::function<std::string()>;
  using MessageSink = std::function<void(const std::string& message)>;

  // `base_url` is read at every send (the service's address may arrive late).
  MirrorRequests(store::MirrorOutbox& outbox, store::DocumentStore& store, RequestSender& sender,
                 BaseUrl base_url);
  MirrorRequests(const MirrorRequests&) = delete;
  MirrorRequests& operator=(const MirrorRequests&) = delete;

  // Mirrors one change (see above).
  void Send(const ServiceCall& call);
  // Sends the kept requests of `user_id` after a login of that user was accepted (so a 401 is a
  // refusal), oldest first; then calls `done` once, on this thread (at once when there is nothing
  // to send): when none of the user's requests is left, or one could not reach the service.
  void Flush(const std::string& user_id, std::function<void()> done);
  // Whether the outbox holds requests of the user.
  bool HasPending(const std::string& user_id) const;
  // Each message about a dropped request goes to every sink (an alert, the run's output).
  loop::Subscription AddMessageSink(MessageSink sink);

  // The transfer id of the request on its way, empty when none.
  const std::string& in_flight() const { return in_flight_; }

  void OnFinish(TransferRecord& record) override;

 private:
  // Starts the next request of the round's user unless one is on its way; ends the round when
  // there is none.
  void Pump();
  // Ends the round: `done` callbacks run.
  void EndRound();
  void Report(const std::string& message);
  std::string RoundUser() const;

  store::MirrorOutbox& outbox_;
  store::DocumentStore& store_;
  RequestSender& sender_;
  BaseUrl base_url_;
  std::string in_flight_;
  std::uint64_t in_flight_entry_ = 0;
  // Whether the request on its way was sent after a login was checked (then 401 is a refusal).
  bool in_flight_checked_ = false;
  // Set by Flush until its round ends: whose requests go out, and that 401 is a refusal.
  std::string flush_user_;
  bool flushing_ = false;
  std::vector<std::function<void()>> waiting_;
  std::vector<std::pair<int, MessageSink>> sinks_;
  int next_sink_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillo::service
