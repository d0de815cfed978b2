#include "ui/main/TopParentDlg.h"

#include "ui/main/MainIds.h"

namespace quillo::ui {

TopParentDlg::TopParentDlg(loop::MainLoop& loop, MainWindowParts parts)
    : main_(std::make_unique<SorvelMainDlg>(std::move(parts))), caption_timer_(loop) {
  main_->SetCaptionListener(
      [this](const std::string& title, bool running) { OnCaption(title, running); });
}

TopParentDlg::~TopParentDlg() {
  if (main_->IsCreated()) main_->Destroy();
}

bool TopParentDlg::Init() {
  if (!main_->CreateMain()) return false;
  ShowCaption(caption_.Caption());
  return true;
}

void TopParentDlg::OnCaption(const std::string& title, bool running) {
  if (running && !title.empty() && title != tray_tip_) {
    caption_.SetTitle(title);
    tray_tip_ = title;
  } else if (!title.empty()) {
    caption_.SetTitle(title);
  }
  if (running) {
    caption_.Start();
    caption_timer_.StartOnGrid(std::chrono::milliseconds(main_ids::kCaptionTimerMs),
                               [this] { ShowCaption(caption_.Tick()); });
  } else {
    caption_.Stop();
    caption_timer_.Stop();
  }
  ShowCaption(caption_.Caption());
}

void TopParentDlg::ShowCaption(const std::string& caption) {
  if (main_->presenter()) main_->presenter()->SetTitle(caption);
}

}  // namespace quillo::ui
