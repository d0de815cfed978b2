#pragma once
// A tray icon that shows nothing: it keeps the tip and menu it is given and answers CanShow as
// the test sets it.
#include <string>

#include "platform/desktop/TrayIcon.h"

namespace quillo::testing {

class FakeTrayIcon : public desktop::TrayIcon {
 public:
  void SetTip(const std::string& tip) override { tip_ = tip; }
  void SetIcon(const std::string& icon) override { icon_name = icon; }
  void SetMenu(desktop::TrayMenu menu) override {
    menu_ = std::move(menu);
    ++menus_set;
  }
  const std::string& tip() const override { return tip_; }
  const desktop::TrayMenu& menu() const override { return menu_; }
  desktop::TrayBackend backend() const override { return desktop::TrayBackend::kStatusIcon; }
  bool CanShow() const override { return can_show; }

  bool can_show = true;
  std::string icon_name;
  int menus_set = 0;

 private:
  std::string tip_;
  desktop::TrayMenu menu_;
};

}  // namespace quillo::testing
