#include "ui/dialogs/MessageBoxes.h"

#include "platform/window/WindowSystem.h"
#include "ui/dialogs/AlertMessageBoxDlg.h"
#include "ui/dialogs/ConfirmMessageBoxDlg.h"
#include "ui/dialogs/PromptMessageBoxDlg.h"
#include "ui/dialogs/SelectMessageBoxDlg.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::ui {
void RunMessageBox(LayerMessageBoxDlg& box, LayerWnd* owner) {
  if (!owner) owner = LayerWindowRegistry::MainWindow();
  if (owner && !owner->IsCreated()) owner = nullptr;
  box.Layout();
  gfx::Rect around;
  if (owner) {
    around = owner->WindowRect();
  } else if (window::WindowSystem* system = window::WindowSystem::Instance()) {
    around = system->WorkArea();
  }
  RunModal(box, CenteredOn(around, box.size()), owner);
}

void AlertBox(const std::string& message, LayerWnd* owner) {
  AlertMessageBoxDlg box(LayerMessageBoxDlg::kCaption, message);
  RunMessageBox(box, owner);
}

bool ConfirmBox(const std::string& message, LayerWnd* owner) {
  ConfirmMessageBoxDlg box(LayerMessageBoxDlg::kCaption, message);
  RunMessageBox(box, owner);
  return box.result() == ConfirmMessageBoxDlg::kYes;
}

bool PromptBox(const std::string& message, std::string& result_text,
               const std::optional<std::string>& initial_text, LayerWnd* owner) {
  PromptMessageBoxDlg box(LayerMessageBoxDlg::kCaption, message, initial_text);
  RunMessageBox(box, owner);
  if (box.result() != PromptMessageBoxDlg::kOk) return false;
  result_text = box.result_text();
  return true;
}

bool SelectBox(const std::string& message, const std::vector<std::string>& options,
               const std::string& preselected, int& chosen_index, LayerWnd* owner) {
  SelectMessageBoxDlg box(LayerMessageBoxDlg::kCaption, message, options, preselected);
  RunMessageBox(box, owner);
  if (box.result() != SelectMessageBoxDlg::kOk) return false;
  chosen_index = box.chosen_index();
  return true;
}

}  // namespace quillo::ui
