#include "ui/dialogs/OpenDeviceLoadingDlg.h"

#include "platform/loop/MainLoop.h"
#include "platform/window/WindowSystem.h"
#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::ui {

OpenDeviceLoadingDlg::OpenDeviceLoadingDlg(std::string text, Work work)
    : LayerDlg(skin::kDeviceLoading),
      text_(std::move(text)),
      work_(std::move(work)),
      token_(std::make_shared<Token>(Token{this})) {
  SetHasCloseButton(false);
}

OpenDeviceLoadingDlg::~OpenDeviceLoadingDlg() {
  token_->dialog = nullptr;
  if (worker_.joinable()) worker_.join();
  Destroy();
}

void OpenDeviceLoadingDlg::Run(const std::string& text, Work work, LayerWnd* owner) {
  if (!owner) owner = LayerWindowRegistry::MainWindow();
  gfx::Rect around;
  if (owner && owner->IsCreated()) {
    around = owner->WindowRect();
  } else if (window::WindowSystem* system = window::WindowSystem::Instance()) {
    around = system->WorkArea();
    owner = nullptr;
  }
  OpenDeviceLoadingDlg dialog(text, std::move(work));
  RunModal(dialog, CenteredOn(around, gfx::Size{kWidth, kHeight}), owner);
}

void OpenDeviceLoadingDlg::Finish() {
  loop::MainLoop* loop = loop::MainLoop::Instance();
  if (!loop) return;
  // The flag is set on the window thread, so the dialog never races with its own close.
  loop->Post([token = token_] {
    if (OpenDeviceLoadingDlg* dialog = token->dialog) {
      dialog->allow_close_ = true;
      dialog->PostClose();
    }
  });
}

void OpenDeviceLoadingDlg::InitLayer() {
  // The worker starts now that the dialog exists, so its Finish always finds it.
  if (work_ && !worker_.joinable()) worker_ = std::thread([this] { work_(*this); });
}

void OpenDeviceLoadingDlg::DrawBackground() {
  if (!skin()) return;
  gfx::Painter p(back_buffer());
  p.DrawImage(*skin(), gfx::Rect{0, 0, kWidth, kHeight}, gfx::Point{0, 0});
  p.DrawText(
      text_, gfx::Font::Points("宋体", 9), gfx::Color{255, 255, 255, 254},
      gfx::Rect{skin::waiting::kTextOrigin.x, skin::waiting::kTextOrigin.y, kWidth - 4, kHeight});
}

void OpenDeviceLoadingDlg::OnClose() {
  if (allow_close_) LayerDlg::OnClose();
}

bool OpenDeviceLoadingDlg::IsDragArea(int, int) {
  return true;
}

}  // namespace quillo::ui
