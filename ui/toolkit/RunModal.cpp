#include "ui/toolkit/RunModal.h"

#include <algorithm>

#include "platform/window/WindowSystem.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

bool RunModal(LayerWnd& window, const gfx::Rect& screen_rect, LayerWnd* parent,
              window::WindowKind kind) {
  window::WindowSystem* system = window::WindowSystem::Instance();
  if (!system) return false;
  bool parent_was_enabled = parent && parent->IsEnabled();
  if (parent_was_enabled) parent->SetEnabled(false);
  bool created = window.Create(screen_rect, parent, kind);
  if (created) system->RunNested([&window] { return !window.IsCreated(); });
  if (parent_was_enabled) {
    parent->SetEnabled(true);
    parent->BringToFront();
  }
  return created;
}

gfx::Rect CenteredOn(const gfx::Rect& owner, gfx::Size size) {
  int left = std::max(0, owner.left + (owner.width() - size.width) / 2);
  int top = std::max(0, owner.top + (owner.height() - size.height) / 2);
  return gfx::Rect::FromXYWH(left, top, size.width, size.height);
}

}  // namespace quillo::ui
