#include "MainDialogDemos.h"

#include <filesystem>
#include <random>

#include "platform/window/WindowSystem.h"
#include "store/StoreRuntime.h"
#include "ui/dialogs/ImportLocalDlg.h"
#include "ui/dialogs/LoginDlg.h"
#include "ui/dialogs/LoginLoadingDlg.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::gallery {
namespace {

gfx::Rect Centered(gfx::Size size) {
  return ui::CenteredOn(window::WindowSystem::Instance()->WorkArea(), size);
}

template <typename Window>
class WindowDemo : public MainDialogDemo {
 public:
  explicit WindowDemo(std::unique_ptr<Window> window) : window_(std::move(window)) {}
  ui::LayerWnd* window() override { return window_->IsCreated() ? window_.get() : nullptr; }
  Window& typed() { return *window_; }

 private:
  std::unique_ptr<Window> window_;
};

class LoginDemo : public WindowDemo<ui::LoginDlg> {
 public:
  LoginDemo()
      : WindowDemo(std::make_unique<ui::LoginDlg>(
            std::vector<std::string>{"demo", "周杰伦的歌迷", "listener42"},
            ui::LoginDlg::Hooks{})) {
    typed().user_name_edit().SetText("demo");
    typed().Create(Centered(gfx::Size{ui::LoginDlg::kWidth, ui::LoginDlg::kHeight}), nullptr);
    // Typed after the field took the focus, as a user types it (not shown selected).
    typed().password_edit().SetText("demo");
  }
  bool ready() override {
    return window() && typed().user_name_edit().CopyIntoOwner() &&
           typed().password_edit().CopyIntoOwner();
  }
};

class LoadingDemo : public WindowDemo<ui::LoginLoadingDlg> {
 public:
  LoadingDemo() : WindowDemo(std::make_unique<ui::LoginLoadingDlg>()) {
    typed().Create(Centered(gfx::Size{ui::LoginLoadingDlg::kWidth, ui::LoginLoadingDlg::kHeight}),
                   nullptr);
  }
};

// A scratch data folder for the import's library, removed with the demo.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("quillo-gallery-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

class ImportDemo : public MainDialogDemo {
 public:
  ImportDemo() : runtime_(scratch_.path()) {
    runtime_.Open(false);
    // The whole file system: the walk lasts well beyond the screenshot even when the folders
    // are cached (a walk of /usr alone could end, and close the dialog, before it was drawn).
    // Closing the demo cancels it.
    dialog_ = std::make_unique<ui::ImportLocalDlg>(runtime_.library(), "/", "", "");
    dialog_->Create(Centered(gfx::Size{ui::ImportLocalDlg::kWidth, ui::ImportLocalDlg::kHeight}),
                    nullptr);
  }
  ~ImportDemo() override {
    dialog_.reset();
    runtime_.Close();
  }
  ui::LayerWnd* window() override { return dialog_->IsCreated() ? dialog_.get() : nullptr; }
  bool ready() override {
    // The walk has reported a folder (the animation frame cycles, so it says nothing of time).
    return window() && dialog_->status_text().rfind("正在", 0) == 0;
  }

 private:
  ScratchFolder scratch_;
  store::StoreRuntime runtime_;
  std::unique_ptr<ui::ImportLocalDlg> dialog_;
};

}  // namespace

std::unique_ptr<MainDialogDemo> OpenMainDialogDemo(const std::string& name) {
  if (name == "login") return std::make_unique<LoginDemo>();
  if (name == "loginloading") return std::make_unique<LoadingDemo>();
  if (name == "importlocal") return std::make_unique<ImportDemo>();
  return nullptr;
}

}  // namespace quillo::gallery
