#include "service/runtime/ServiceRuntime.h"

#include <string>

#include "service/api/JSRequestHandler.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/api/ServiceRequests.h"
#include "service/stats/CStatBtnClick.h"
#include "service/sync/MirrorRequests.h"
#include "service/transfer/SafeDownloader.h"
#include "store/DataFolder.h"
#include "store/DocumentStore.h"
#include "store/MirrorOutbox.h"

namespace quillo::service {

ServiceRuntime::ServiceRuntime(loop::MainLoop& loop, store::DocumentStore& store,
                               http::CookieSessions sessions)
    : loop_(loop),
      store_(store),
      transport_(std::make_unique<http::CurlHttpTransport>(
          store.data_folder() + std::string(store::kCookieJarFileName), sessions)),
      downloader_(std::make_unique<SafeDownloader>(loop, *transport_)),
      request_sender_(std::make_unique<SafeDownloaderSender>(*downloader_)),
      sender_(std::make_unique<JSRequestHandler>(*request_sender_, endpoints_)),
      outbox_(std::make_unique<store::MirrorOutbox>(store)),
      mirror_(std::make_unique<MirrorRequests>(*outbox_, store, *request_sender_, [this] {
        return endpoints_.Get().base_url;
      })) {
  sender_->SetMirror(mirror_.get());
}

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

void ServiceRuntime::StartStatistics() {
  statistics().StartReportTimer(loop_);
}

void ServiceRuntime::Shutdown() {
  if (statistics_) statistics_->StopReportTimer();
  downloader_->Shutdown();
}

}  // namespace quillo::service
