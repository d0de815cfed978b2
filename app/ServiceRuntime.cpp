#include "app/ServiceRuntime.h"

#include "service/stats/CStatBtnClick.h"
#include "ui/toolkit/ClickCounter.h"

namespace quillo::app {

ServiceRuntime::ServiceRuntime(loop::MainLoop& loop, store::DocumentStore& store)
    : service_(loop, store, http::CookieSessions::kNew) {}

ServiceRuntime::~ServiceRuntime() {
  Shutdown();
}

void ServiceRuntime::StartStatistics() {
  service::CStatBtnClick& statistics = service_.statistics();
  ui::ClickCounter::Set(
      [&statistics](int window_id, int button_id) { statistics.CountClick(window_id, button_id); });
  service_.StartStatistics();
}

void ServiceRuntime::Shutdown() {
  ui::ClickCounter::Set({});
  service_.Shutdown();
}

}  // namespace quillo::app
