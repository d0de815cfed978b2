#include "ui/dialogs/BalanceDlg.h"

#include <algorithm>

#include "resources/skins/SkinLayout.h"
#include "store/DocumentStore.h"
#include "ui/toolkit/DesktopWorkArea.h"
#include "ui/toolkit/LayerListPopup.h"

namespace quillo::ui {
namespace eq = skin::equalizer;
namespace kit = skin::kit;
namespace {
constexpr int kBalanceTop = 38;
constexpr int kButtonsTop = 182;
constexpr const char* kBandNames[playback::EqualizerGains::kBands] = {
    "31", "62", "125", "250", "500", "1K", "2K", "4K", "8K", "16K"};
}  // namespace

BalanceDlg::BalanceDlg(Parts parts)
    : LayerDlg(skin::kEqualizer),
      parts_(std::move(parts)),
      model_(parts_.gains, parts_.presets, parts_.store, parts_.apply) {
  SetTitle(std::string(kTitle));
  SetNativeTitle(std::string(kTitle));
}

BalanceDlg::~BalanceDlg() {
  parts_.on_closed = nullptr;
  Destroy();
}

gfx::Rect BalanceDlg::InitialRect(const gfx::Rect& next_to) const {
  const gfx::Rect work = DesktopWorkArea();
  WorkAreaGeometry desktop(work);
  if (auto saved = parts_.store.RestoreWindowRect(kRectName, desktop, kWidth, kHeight)) {
    return gfx::Rect{saved->left, saved->top, saved->right, saved->bottom};
  }
  if (!next_to.IsEmpty()) {
    const int left = next_to.right + kWidth <= work.right ? next_to.right : next_to.left - kWidth;
    return gfx::Rect::FromXYWH(std::max(0, left), std::max(0, next_to.top), kWidth, kHeight);
  }
  return gfx::Rect::FromXYWH(work.left + (work.width() - kWidth) / 2,
                             work.top + (work.height() - kHeight) / 2, kWidth, kHeight);
}

void BalanceDlg::InitLayer() {
  LayerDlg::InitLayer();
  const int balance = parts_.balance ? parts_.balance() : 0;
  AddSlider(eq::kBalanceKnobWidth, eq::kBalanceKnobHeight,
            playback::EqualizerModel::BalanceKnob(balance), kBalanceTop, eq::kBalanceKnob.x,
            eq::kBalanceKnob.y, kBalance,
            gfx::Rect{kBalanceLeft, kBalanceTop,
                      kBalanceLeft + kBalanceWidth + eq::kBalanceKnobWidth,
                      kBalanceTop + eq::kBalanceKnobHeight},
            "平衡");
  if (parts_.attach) {
    parts_.attach(*this);
    attached_ = true;
  }
  AddDropDown(gfx::Rect{214, 34, 326, 54}, "", kPreset);
  for (int band = 0; band < playback::EqualizerGains::kBands; ++band) {
    const int left = BandLeft(band);
    AddSlider(eq::kBandKnobWidth, eq::kBandKnobHeight, left, KnobTop(band), eq::kBandKnob.x,
              eq::kBandKnob.y, kFirstBand + band,
              gfx::Rect{left, kBandTop, left + eq::kBandKnobWidth,
                        kBandTop + playback::EqualizerModel::kDialogTravel + eq::kBandKnobHeight},
              kBandNames[band]);
  }
  AddLinkedLabel(gfx::Rect{40, 160, 100, 176}, "低音", kBassLabel, kBassLabel);
  AddLinkedLabel(gfx::Rect{264, 160, 320, 176}, "环绕", kSurroundLabel, kSurroundLabel);
  AddTextButton(gfx::Rect::FromXYWH(14, kButtonsTop, 52, 20), "禁用", kOnOff);
  AddTextButton(gfx::Rect::FromXYWH(72, kButtonsTop, 52, 20), "重置", kReset);
  AddToggle(ControlKind::kCheckBox, gfx::Rect::FromXYWH(138, kButtonsTop + 4, 13, 13), kLinked,
            model_.linked());
  SyncControls();
}

void BalanceDlg::SyncControls() {
  for (int band = 0; band < playback::EqualizerGains::kBands; ++band) {
    if (LayerControl* knob = FindControl(kFirstBand + band)) {
      knob->bounds = gfx::Rect::FromXYWH(BandLeft(band), KnobTop(band), eq::kBandKnobWidth,
                                         eq::kBandKnobHeight);
    }
  }
  if (LayerControl* preset = FindControl(kPreset)) {
    preset->text = std::string(parts_.presets.Name(model_.preset_index()));
  }
  if (LayerControl* onoff = FindControl(kOnOff)) onoff->text = model_.enabled() ? "禁用" : "开启";
  if (LayerControl* linked = FindControl(kLinked)) linked->checked = model_.linked();
}

void BalanceDlg::DrawBackground() {
  LayerDlg::DrawBackground();
  if (!skin()) return;
  gfx::Painter p(back_buffer());
  const gfx::Color label = SkinColor(kit::kLabelTextPixel);
  gfx::TextOptions options;
  options.vertical_center = true;
  p.DrawText("平衡", control_font(), label, gfx::Rect{10, 34, 36, 54}, options);
  p.DrawImage(*skin(), eq::kBalanceTrack,
              gfx::Rect::FromXYWH(kBalanceLeft, kBalanceTop + 3,
                                  kBalanceWidth + eq::kBalanceKnobWidth, 6));
  p.DrawText("预设", control_font(), label, gfx::Rect{184, 34, 212, 54}, options);
  p.DrawText("+12", control_font(), label, gfx::Rect{8, kBandTop - 2, 38, kBandTop + 12}, options);
  p.DrawText("0", control_font(), label, gfx::Rect{20, kBandTop + 28, 38, kBandTop + 42}, options);
  p.DrawText("-12", control_font(), label, gfx::Rect{10, kBandTop + 58, 38, kBandTop + 72},
             options);
  gfx::TextOptions centred = options;
  centred.align = gfx::TextAlign::kCenter;
  for (int band = 0; band < playback::EqualizerGains::kBands; ++band) {
    const int left = BandLeft(band);
    p.DrawImage(*skin(), eq::kBandTrack,
                gfx::Rect::FromXYWH(left + 4, kBandTop, 6,
                                    playback::EqualizerModel::kDialogTravel + eq::kBandKnobHeight));
    p.DrawText(kBandNames[band], control_font(), label,
               gfx::Rect{left - 7, kBandTop + 72, left + 21, kBandTop + 86}, centred);
  }
  p.DrawText("连动", control_font(), label, gfx::Rect{156, kButtonsTop, 200, kButtonsTop + 20},
             options);
}

void BalanceDlg::DrawControl(LayerControl& control) {
  LayerDlg::DrawControl(control);
  // While off, everything but the on/off button (and the close button) is drawn faded.
  if (model_.enabled() || control.hidden || control.id == kOnOff ||
      control.id == kCloseButtonId || back_buffer().IsNull()) {
    return;
  }
  gfx::Painter p(back_buffer());
  gfx::Color veil = SkinColor(kit::kBodyPixel);
  veil.a = 150;
  p.FillRect(control.bounds, veil);
}

void BalanceDlg::OnControlEvent(LayerControl* control, int code) {
  if (code == kCloseButtonId) return LayerDlg::OnControlEvent(control, code);
  if (code == kOnOff) {
    model_.ToggleEnabled();
  } else if (!model_.enabled()) {
    return;
  } else if (code == kReset) {
    model_.Reset();
    if (parts_.set_balance) parts_.set_balance(0);
    if (LayerControl* knob = FindControl(kBalance)) {
      knob->bounds = gfx::Rect::FromXYWH(playback::EqualizerModel::BalanceKnob(0), kBalanceTop,
                                         eq::kBalanceKnobWidth, eq::kBalanceKnobHeight);
    }
  } else if (code == kLinked) {
    model_.SetLinked(!model_.linked());
  } else if (code == kPreset) {
    return OpenPresetList();
  } else {
    return LayerDlg::OnControlEvent(control, code);
  }
  SyncControls();
  DrawAll();
  UpdateLayer();
}

void BalanceDlg::OpenPresetList() {
  std::vector<std::string> names;
  for (int i = 0; i < playback::EqualizerPresets::kCount; ++i) {
    names.emplace_back(parts_.presets.Name(i));
  }
  LayerControl* field = FindControl(kPreset);
  if (!field || !IsCreated()) return;
  if (preset_list_) preset_list_->Destroy();
  preset_list_ = std::make_unique<LayerListPopup>(std::move(names), model_.preset_index(),
                                                  [this](int index) { ChoosePreset(index); });
  const gfx::Rect window = WindowRect();
  const gfx::Rect screen_field =
      gfx::Rect::FromXYWH(window.left + field->bounds.left, window.top + field->bounds.top,
                          field->bounds.width(), field->bounds.height());
  preset_list_->Create(preset_list_->RectUnder(screen_field), this);
}

void BalanceDlg::ChoosePreset(int index) {
  if (!model_.enabled() || index < 0) return;
  model_.ChoosePreset(index);
  SyncControls();
  if (IsCreated()) {
    DrawAll();
    UpdateLayer();
  }
}

void BalanceDlg::SetBalanceFromKnob(const LayerControl& knob) {
  const int balance =
      playback::EqualizerModel::BalanceForKnob(knob.bounds.left - kBalanceLeft, kBalanceWidth);
  if (parts_.set_balance) parts_.set_balance(balance);
}

void BalanceDlg::OnSliderMove(LayerControl& control) {
  if (!model_.enabled()) {
    // The knobs stay where the model has them.
    SyncControls();
    DrawAll();
    return;
  }
  if (control.id == kBalance) return SetBalanceFromKnob(control);
  const int band = control.id - kFirstBand;
  if (band < 0 || band >= playback::EqualizerGains::kBands) return;
  model_.MoveBand(band, control.bounds.top - kBandTop);
  // Linked neighbours follow and the selector turns to "自定义".
  SyncControls();
  DrawAll();
}

void BalanceDlg::OnSliderRelease(LayerControl& control) {
  if (!model_.enabled()) return OnSliderMove(control);
  if (control.id == kBalance) return SetBalanceFromKnob(control);
  const int band = control.id - kFirstBand;
  if (band < 0 || band >= playback::EqualizerGains::kBands) return;
  model_.MoveBand(band, control.bounds.top - kBandTop);
  model_.ReleaseBand(band);
  SyncControls();
  DrawAll();
  UpdateLayer();
}

void BalanceDlg::OnClose() {
  if (IsCreated()) {
    const gfx::Rect r = WindowRect();
    parts_.store.SaveWindowRect(kRectName, store::Rect{r.left, r.top, r.right, r.bottom});
  }
  LayerDlg::OnClose();
}

void BalanceDlg::MoveAttachedTo(gfx::Point top_left) {
  const gfx::Rect r = WindowRect();
  SetWindowRect(gfx::Rect::FromXYWH(top_left.x, top_left.y, r.width(), r.height()));
}

void BalanceDlg::OnLButtonDown(const window::MouseEvent& e) {
  if (!ControlAt(e.pos) && e.pos.y < kMarginTop && attached_ && parts_.moving) {
    // The title band: the window moves with the pointer so that the main window can snap it.
    move_grab_ = e.pos;
    if (parts_.note_move_start) parts_.note_move_start(*this, e.pos);
    return;
  }
  LayerDlg::OnLButtonDown(e);
}

void BalanceDlg::OnMouseMove(const window::MouseEvent& e) {
  if (move_grab_) {
    if (!e.left_held) {
      move_grab_.reset();  // the release went elsewhere
      return;
    }
    const gfx::Rect r = WindowRect();
    const gfx::Rect proposed = gfx::Rect::FromXYWH(e.screen.x - move_grab_->x,
                                                   e.screen.y - move_grab_->y, r.width(),
                                                   r.height());
    const gfx::Rect snapped = parts_.moving(*this, proposed);
    if (snapped != r) SetWindowRect(snapped);
    return;
  }
  LayerDlg::OnMouseMove(e);
}

void BalanceDlg::OnLButtonUp(const window::MouseEvent& e) {
  move_grab_.reset();
  LayerDlg::OnLButtonUp(e);
}

void BalanceDlg::OnCaptureLost() {
  move_grab_.reset();
  LayerDlg::OnCaptureLost();
}

void BalanceDlg::OnDestroy() {
  if (attached_ && parts_.detach) parts_.detach(*this);
  attached_ = false;
  if (preset_list_) preset_list_->Destroy();
  LayerDlg::OnDestroy();
  if (parts_.on_closed) parts_.on_closed();
}

}  // namespace quillo::ui
