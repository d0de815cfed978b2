#include "app/ServiceRuntime.h"

#include "platform/http/CurlHttpTransport.h"
#include "platform/loop/LoopTarget.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/api/ServiceRequests.h"
#include "service/stats/CStatBtnClick.h"
#include "service/transfer/SafeDownloader.h"
#include "store/DataFolder.h"
#include "store/DocumentStore.h"
#include "ui/toolkit/ClickCounter.h"

namespace quillo::app {

ServiceRuntime::ServiceRuntime(loop::MainLoop& loop, store::DocumentStore& store)
    : transport_(std::make_unique<http::CurlHttpTransport>(store.data_folder() +
                                                           std::string(store::kCookieJarFileName))),
      downloader_(std::make_unique<service::SafeDownloader>(loop, *transport_)),
      request_sender_(std::make_unique<service::SafeDownloaderSender>(*downloader_)),
      sender_(std::make_unique<service::JSRequestHandler>(*request_sender_, endpoints_)),
      requests_(std::make_unique<service::ServiceRequests>(store.ClientId())),
      statistics_(std::make_unique<service::CStatBtnClick>(*sender_, *requests_)) {}

ServiceRuntime::~ServiceRuntime() {
  Shutdown();
}

void ServiceRuntime::StartStatistics(loop::LoopTarget& timers) {
  ui::ClickCounter::Set(
      [this](int window_id, int button_id) { statistics_->CountClick(window_id, button_id); });
  statistics_->StartReportTimer(timers);
  report_timers_ = &timers;
}

void ServiceRuntime::Shutdown() {
  ui::ClickCounter::Set({});
  if (report_timers_ != nullptr) report_timers_->KillTimer(service::CStatBtnClick::kReportTimerId);
  report_timers_ = nullptr;
  downloader_->Shutdown();
}

}  // namespace quillo::app
