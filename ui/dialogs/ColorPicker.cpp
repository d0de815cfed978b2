#include "ui/dialogs/ColorPicker.h"

#include <memory>

#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/PopupOwner.h"

namespace quillo::ui {
namespace picker = skin::picker;
namespace {
std::function<void(int)> g_style_handler;

constexpr const char* kTooltips[skin::kStyleCount] = {"默认颜色", "深灰", "紫色",  "蓝色", "草绿",
                                                      "金黄色",   "大红", "紫红", "粉红"};
}  // namespace

ColorPicker::ColorPicker(LayerWnd* owner)
    : LayerPopup(skin::kColorPicker, false), owner_(owner ? owner->Ref() : WindowRef()) {}

ColorPicker* ColorPicker::Current() { return PopupOwner::FindAnywhere<ColorPicker>(); }

void ColorPicker::SetStyleHandler(std::function<void(int)> handler) {
  g_style_handler = std::move(handler);
}

ColorPicker* ColorPicker::Show(int x, int y, LayerWnd* owner) {
  if (ColorPicker* open = Current()) {
    open->BringToFront();
    return open;
  }
  if (!owner) owner = LayerWindowRegistry::MainWindow();
  PopupOwner& holder = PopupOwner::For(owner);
  ColorPicker* picker = holder.Adopt(std::make_unique<ColorPicker>(owner));
  if (!picker->Create(gfx::Rect::FromXYWH(x, y, kWidth, kHeight), owner)) {
    holder.Release(picker);
    return nullptr;
  }
  return picker;
}

void ColorPicker::InitLayer() {
  for (int n = 0; n < skin::kStyleCount; ++n) {
    gfx::Point at = picker::kPresets[n];
    gfx::Rect normal = gfx::Rect::FromXYWH(at.x, at.y, picker::kPresetSize, picker::kPresetSize);
    gfx::Rect lit = normal.Offset(0, picker::kStateOffset);
    AddButton(normal, normal, lit, lit, kFirstPresetId + n, kTooltips[n]);
  }
}

void ColorPicker::DrawBackground() {
  if (!skin()) return;
  gfx::Painter p(back_buffer());
  p.DrawImage(*skin(), picker::kBackground, gfx::Point{0, 0});
}

void ColorPicker::OnControlEvent(LayerControl* control, int code) {
  if (!control || code < kFirstPresetId || code >= kFirstPresetId + skin::kStyleCount) return;
  if (g_style_handler) g_style_handler(code - kFirstPresetId);
}

void ColorPicker::OnDestroy() {
  LayerWnd* owner = owner_.get();
  if (owner && owner->IsCreated()) {
    if (LayerControl* button = owner->FindControl(kOwnerColorButtonId)) {
      owner->DrawControl(*button);
      owner->UpdateIfDirty();
    }
  }
  // The picker is gone once this returns; its owner deletes the object outside this stack.
  PopupOwner::ReleaseAnywhere(this);
}

}  // namespace quillo::ui
