#pragma once
// The run's reporter as a listener of the main window: every list the song list shows becomes a
// line of the run's output ("list shown: ID, N rows"; the library's empty id as "[全部]"), and so
// does hiding to the tray ("window: hidden to the tray"), so
// scripts and tests that follow the output see what the window shows. Window thread only.
#include <functional>
#include <string>

#include "ui/main/MainWindowListener.h"

namespace quillo::app {

class ReportingWindowView : public ui::MainWindowListener {
 public:
  explicit ReportingWindowView(std::function<void(const std::string& line)> report)
      : report_(std::move(report)) {}

  void OnListShown(const std::string& list_id, int rows) override {
    report_("list shown: " + (list_id.empty() ? std::string("[全部]") : list_id) + ", " +
            std::to_string(rows) + " rows");
  }
  void OnHiddenToTray() override { report_("window: hidden to the tray"); }

 private:
  std::function<void(const std::string&)> report_;
};

}  // namespace quillo::app
