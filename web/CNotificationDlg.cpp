#include "web/CNotificationDlg.h"

#include "ui/toolkit/RunModal.h"

namespace quillo::web {
namespace {

CXHTMLDialog::Options NotificationOptions() {
  CXHTMLDialog::Options options;
  options.resizable = false;
  options.title = "Zelbo音乐";
  return options;
}

}  // namespace

CNotificationDlg::CNotificationDlg(store::DocumentStore& store, std::string url)
    : CXHTMLDialog(store, NotificationOptions()), url_(std::move(url)) {}

CNotificationDlg::~CNotificationDlg() { Destroy(); }

void CNotificationDlg::Run(ui::LayerWnd* parent) {
  const gfx::Rect owner = parent ? parent->WindowRect() : gfx::Rect{0, 0, 0, 0};
  ui::RunModal(*this, ui::CenteredOn(owner, gfx::Size{kWidth, kHeight}), parent);
}

bool CNotificationDlg::Create(const gfx::Rect& screen_rect, ui::LayerWnd* parent,
                              window::WindowKind kind) {
  if (!CXHTMLDialog::Create(screen_rect, parent, kind)) return false;
  if (url_.empty()) {
    NavigateBuiltIn("notification.html");
  } else {
    Navigate(url_);
  }
  return true;
}

std::vector<std::string> CNotificationDlg::ExternalMethodNames() const {
  std::vector<std::string> names = CXHTMLDialog::ExternalMethodNames();
  names.emplace_back("AddMusic");
  names.emplace_back("GoToUrl");
  return names;
}

BridgeValue CNotificationDlg::OnExternalMethod(const std::string& method,
                                               const std::vector<std::string>& args,
                                               bool& handled) {
  if (method == "AddMusic" || method == "GoToUrl") {
    handled = true;
    return BridgeValue::Void();
  }
  return CXHTMLDialog::OnExternalMethod(method, args, handled);
}

}  // namespace quillo::web
