#pragma once
// Runs a skinned window modally: disables the parent, creates the window, handles events until
// the window is destroyed, enables the parent again and brings it to the foreground.
// Window thread; nests inside any other loop.
#include "platform/gfx/Geometry.h"
#include "platform/window/WindowPresenter.h"

namespace quillo::ui {

class LayerWnd;

// False when the window could not be created (the parent is enabled again at once).
bool RunModal(LayerWnd& window, const gfx::Rect& screen_rect, LayerWnd* parent,
              window::WindowKind kind = window::WindowKind::kDialog);

// A rectangle of the size centred on the owner's window rectangle, left and top not below 0.
gfx::Rect CenteredOn(const gfx::Rect& owner, gfx::Size size);

}  // namespace quillo::ui
