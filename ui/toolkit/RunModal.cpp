#include "ui/toolkit/RunModal.h"

#include <algorithm>

#include "platform/window/WindowSystem.h"
#include "ui/toolkit/LayerWnd.h"
#include "ui/toolkit/WindowRef.h"

namespace quillo::ui {

bool RunModal(LayerWnd& window, const gfx::Rect& screen_rect, LayerWnd* parent,
              window::WindowKind kind) {
  window::WindowSystem* system = window::WindowSystem::Instance();
  if (!system) return false;
  bool parent_was_enabled = parent && parent->IsEnabled();
  if (parent_was_enabled) parent->SetEnabled(false);
  const WindowRef owner = parent ? parent->Ref() : WindowRef();
  // A dialog whose owner is closed (the program quits while it is open) ends with it: waiting
  // for the user to close a dialog nobody can see any more would keep the program from ending.
  const auto owner_gone = [&] {
    return parent != nullptr && (!owner || !owner.get()->IsCreated());
  };
  bool created = window.Create(screen_rect, parent, kind);
  if (created) {
    system->RunNested([&] { return !window.IsCreated() || owner_gone(); });
    if (window.IsCreated()) window.Destroy();
  }
  if (parent_was_enabled && owner) {
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
