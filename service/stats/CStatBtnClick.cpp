#include "service/stats/CStatBtnClick.h"

#include <climits>
#include <cstdio>

#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceRequests.h"
#include "store/ProgramVersion.h"

namespace quillo::service {
namespace {

std::string Printf(const char* format, int a, int b = 0) {
  char buffer[96];
  int n = std::snprintf(buffer, sizeof buffer, format, a, b);
  return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace

CStatBtnClick::CStatBtnClick(JSRequestHandler& sender, const ServiceRequests& requests)
    : sender_(sender), requests_(requests) {}

void CStatBtnClick::CountClick(int window_id, int button_id) {
  if (window_id <= 0) return;
  int& count = clicks_[window_id][button_id];
  if (count < INT_MAX) ++count;
}

std::string CStatBtnClick::BuildDocument() const {
  // The header's values are the program version and the client id (hexadecimal digits), so
  // they need no escaping.
  std::string document = "<?xml version=\"1.0\" encoding=\"utf-8\"?><stat version=\"" +
                         std::string(store::kProgramVersion) + "\" clientid=\"" +
                         requests_.client_id() + "\">";
  for (const auto& [window_id, buttons] : clicks_) {
    document += Printf("<dlg id=\"%d\">", window_id);
    for (const auto& [button_id, count] : buttons) {
      document += Printf("<button id=\"%d\" clicks=\"%d\" />", button_id, count);
    }
    document += "</dlg>";
  }
  document += "</stat>";
  return document;
}

void CStatBtnClick::SendReport() {
  if (!pending_report_id_.empty()) return;
  std::string document = BuildDocument();
  if (document.empty()) return;
  pending_report_id_ = sender_.Send(requests_.UsageReport(document));
}

std::string CStatBtnClick::ReportEvent(std::string_view type, std::string_view ext_id,
                                       std::string_view ext_value, std::string_view detail) {
  return sender_.Send(requests_.PlaybackEvent(type, ext_id, ext_value, detail));
}

void CStatBtnClick::StartReportTimer(loop::MainLoop& loop) {
  report_timer_.emplace(loop);
  report_timer_->Start(kReportPeriod, [this] { SendReport(); });
}

}  // namespace quillo::service
