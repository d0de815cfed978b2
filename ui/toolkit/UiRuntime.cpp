#include "ui/toolkit/UiRuntime.h"

#include "platform/gfx/FontAliases.h"
#include "platform/gfx/ResourceBundle.h"
#include "platform/loop/MainLoop.h"
#include "platform/window/GtkWindowSystem.h"
#include "resources/skins/SkinResources.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

UiRuntime::UiRuntime() = default;

UiRuntime::~UiRuntime() {
  // Windows still open (a popup kept by a static owner, say) go now, newest first, while the
  // loop and the window system they use exist; the tasks their closing posts run too.
  auto open = LayerWindowRegistry::All();
  for (auto it = open.rbegin(); it != open.rend(); ++it) (*it)->Destroy();
  if (loop_) loop_->PumpPending();
  windows_.reset();
  loop_.reset();
}

std::unique_ptr<UiRuntime> UiRuntime::Start(int* argc, char*** argv) {
  skin::RegisterResources();
  // Aliases first, so that GTK's own widgets resolve the faces the same way.
  if (auto conf = gfx::ResourceBundle::Lookup(skin::kFontConfigPath))
    gfx::FontAliases::Install(*conf);
  if (!window::GtkWindowSystem::InitGtk(argc, argv)) return nullptr;
  std::unique_ptr<UiRuntime> runtime(new UiRuntime());
  runtime->loop_ = std::make_unique<loop::MainLoop>();
  runtime->windows_ = std::make_unique<window::GtkWindowSystem>();
  return runtime;
}

}  // namespace quillo::ui
