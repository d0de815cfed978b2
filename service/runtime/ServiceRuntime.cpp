#include "service/runtime/ServiceRuntime.h"

#include <string>

#include "platform/loop/LoopTarget.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/api/ServiceRequests.h"
#include "service/stats/CStatBtnClick.h"
#include "service/transfer/SafeDownloader.h"
#include "store/DataFolder.h"
#include "store/DocumentStore.h"

namespace quillo::service {

ServiceRuntime::ServiceRuntime(loop::MainLoop& loop, store::DocumentStore& store,
                               http::CookieSessions sessions)
    : store_(store),
      transport_(std::make_unique<http::CurlHttpTransport>(
          store.data_folder() + std::string(store::kCookieJarFileName), sessions)),
      downloader_(std::make_unique<SafeDownloader>(loop, *transport_)),
      request_sender_(std::make_unique<SafeDownloaderSender>(*downloader_)),
      sender_(std::make_unique<JSRequestHandler>(*request_sender_, endpoints_)) {}

ServiceRuntime::~ServiceRuntime() {
  Shutdown();
}

CStatBtnClick& ServiceRuntime::statistics() {
  if (!statistics_) {
    requests_ = std::make_unique<ServiceRequests>(store_.ClientId());
    statistics_ = std::make_unique<CStatBtnClick>(*sender_, *requests_);
  }
  return *statistics_;
}

void ServiceRuntime::StartStatistics(loop::LoopTarget& timers) {
  statistics().StartReportTimer(timers);
  report_timers_ = &timers;
}

void ServiceRuntime::Shutdown() {
  if (report_timers_ != nullptr) report_timers_->KillTimer(CStatBtnClick::kReportTimerId);
  report_timers_ = nullptr;
  downloader_->Shutdown();
}

}  // namespace quillo::service
