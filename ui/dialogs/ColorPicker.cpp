#include "ui/dialogs/ColorPicker.h"

#include <memory>

#include "platform/loop/MainLoop.h"
#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerWindowRegistry.h"

namespace quillo::ui {
namespace picker = skin::picker;
namespace {
std::unique_ptr<ColorPicker> g_picker;
std::function<void(int)> g_style_handler;

constexpr const char* kTooltips[skin::kStyleCount] = {"默认颜色", "深灰", "紫色",  "蓝色", "草绿",
                                                      "金黄色",   "大红", "紫红", "粉红"};
}  // namespace

ColorPicker::ColorPicker(LayerWnd* owner) : LayerPopup(skin::kColorPicker, false), owner_(owner) {}

ColorPicker* ColorPicker::Current() {
  return g_picker && g_picker->IsCreated() ? g_picker.get() : nullptr;
}

void ColorPicker::SetStyleHandler(std::function<void(int)> handler) {
  g_style_handler = std::move(handler);
}

ColorPicker* ColorPicker::Show(int x, int y, LayerWnd* owner) {
  if (ColorPicker* open = Current()) {
    open->BringToFront();
    return open;
  }
  if (!owner) owner = LayerWindowRegistry::MainWindow();
  g_picker = std::make_unique<ColorPicker>(owner);
  if (!g_picker->Create(gfx::Rect::FromXYWH(x, y, kWidth, kHeight), owner)) {
    g_picker.reset();
    return nullptr;
  }
  return g_picker.get();
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
  if (owner_ && owner_->IsCreated()) {
    if (LayerControl* button = owner_->FindControl(kOwnerColorButtonId)) {
      owner_->DrawControl(*button);
      owner_->UpdateIfDirty();
    }
  }
  // The picker is gone once this returns; the object itself goes from the loop, outside its
  // own call stack.
  if (g_picker.get() == this) {
    ColorPicker* self = g_picker.release();
    if (loop::MainLoop* loop = loop::MainLoop::Instance()) {
      loop->Post([self] { delete self; });
    }
  }
}

}  // namespace quillo::ui
