#pragma once
// Usage statistics and playback events. Counts the clicks on every button of the skinned
// windows for the whole run and sends the counts to the service once per run, at the first tick
// of the hourly report timer; reports the play and bad-song events of the play queue. No answer
// is read and nothing the user sees depends on them.
//
// It is a SafeDownloaderCallback with the default (empty) operations: the report and the events
// are sent without a callback.
//
// Window thread only.
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/loop/Timer.h"
#include "service/transfer/SafeDownloaderCallback.h"

namespace quillo::service {

class JSRequestHandler;
class ServiceRequests;

class CStatBtnClick : public SafeDownloaderCallback {
 public:
  // The period of the timer that sends the report (the main window's timer 110 once).
  static constexpr std::chrono::milliseconds kReportPeriod{3600000};

  // Both must outlive this object.
  CStatBtnClick(JSRequestHandler& sender, const ServiceRequests& requests);
  ~CStatBtnClick() override = default;
  CStatBtnClick(const CStatBtnClick&) = delete;
  CStatBtnClick& operator=(const CStatBtnClick&) = delete;

  // A button `button_id` of the window whose skin id is `window_id` was released inside its
  // rectangle after being pressed. Windows without a skin id (not greater than 0) are not
  // counted. A count stops at the largest int instead of wrapping.
  void CountClick(int window_id, int button_id);

  // Sends the statistics document, unless a report was already sent in this run.
  void SendReport();

  // Sends a playback event ("play_music", "bad_music") with the play queue's two identifiers;
  // answers the transfer id.
  std::string ReportEvent(std::string_view type, std::string_view ext_id,
                          std::string_view ext_value, std::string_view detail = {});

  // The statistics document of the counts so far: header, one element per window and button in
  // ascending order, "</stat>".
  std::string BuildDocument() const;

  // The transfer id of this run's report; empty until it was sent.
  const std::string& pending_report_id() const { return pending_report_id_; }

  // Starts (or restarts) the report timer on the loop: SendReport every kReportPeriod until
  // StopReportTimer or the end of this object. The loop must outlive the timer.
  void StartReportTimer(loop::MainLoop& loop);
  void StopReportTimer() { report_timer_.reset(); }
  bool report_timer_running() const { return report_timer_ && report_timer_->IsRunning(); }

 private:
  JSRequestHandler& sender_;
  const ServiceRequests& requests_;
  // window id → button id → clicks, both ascending.
  std::map<int, std::map<int, int>> clicks_;
  std::string pending_report_id_;
  std::optional<loop::Timer> report_timer_;
};

}  // namespace quillo::service
