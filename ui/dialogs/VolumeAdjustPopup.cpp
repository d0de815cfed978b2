#include "ui/dialogs/VolumeAdjustPopup.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/PopupOwner.h"

namespace quillo::ui {
namespace v = skin::volume;

VolumeAdjustPopup::VolumeAdjustPopup(LayerWnd* owner, VolumeControl& volume)
    : LayerPopup(skin::kVolumePopup), owner_(owner ? owner->Ref() : WindowRef()), volume_(volume) {}

VolumeAdjustPopup* VolumeAdjustPopup::Current() {
  return PopupOwner::FindAnywhere<VolumeAdjustPopup>();
}

VolumeAdjustPopup* VolumeAdjustPopup::Show(LayerWnd* owner, VolumeControl& volume) {
  if (VolumeAdjustPopup* open = Current()) {
    open->BringToFront();
    return open;
  }
  gfx::Point at;
  if (owner && owner->IsCreated()) {
    gfx::Rect window = owner->WindowRect();
    gfx::Rect button;
    if (LayerControl* c = owner->FindControl(kOwnerVolumeButtonId)) button = c->bounds;
    at = gfx::Point{window.left + button.left + 9, window.top + button.top + 17};
  }
  PopupOwner& holder = PopupOwner::For(owner);
  VolumeAdjustPopup* popup = holder.Adopt(std::make_unique<VolumeAdjustPopup>(owner, volume));
  if (!popup->Create(gfx::Rect::FromXYWH(at.x, at.y, kWidth, kHeight), owner)) {
    holder.Release(popup);
    return nullptr;
  }
  return popup;
}

int VolumeAdjustPopup::ThumbLeftFor(int volume) {
  return kTrack.left + std::clamp(volume, 0, 100) * 60 / 100;
}

int VolumeAdjustPopup::VolumeFor(int thumb_left) {
  double span = kTrack.width() - v::kThumbSize;
  return int(std::lround((thumb_left - kTrack.left) * 100 / span));
}

void VolumeAdjustPopup::InitLayer() {
  AddSlider(v::kThumbSize, v::kThumbSize, ThumbLeftFor(volume_.Volume()), kTrack.top, v::kThumb.x,
            v::kThumb.y, kThumbId, kTrack);
}

void VolumeAdjustPopup::DrawFill(int thumb_left) {
  if (!skin()) return;
  gfx::Painter p(back_buffer());
  int width = thumb_left - kTrack.left;
  if (width > 0) {
    p.DrawImage(*skin(), gfx::Rect::FromXYWH(v::kTrackFill.left, v::kTrackFill.top, width, 4),
                gfx::Point{kTrack.left, kTrack.top + 3});
  }
}

void VolumeAdjustPopup::DrawBackground() {
  if (!skin()) return;
  {
    gfx::Painter p(back_buffer());
    p.DrawImage(*skin(), v::kBackground, gfx::Point{0, 0});
    p.DrawImage(*skin(), v::kTrack, gfx::Point{kTrack.left, kTrack.top});
  }
  DrawFill(ThumbLeftFor(volume_.Volume()));
}

void VolumeAdjustPopup::DrawSliderTrack(int) {
  if (!skin()) return;
  RestoreBackground(kTrack);
  gfx::Painter p(back_buffer());
  p.DrawImage(*skin(), v::kTrack, gfx::Point{kTrack.left, kTrack.top});
}

void VolumeAdjustPopup::OnSliderMove(LayerControl& thumb) {
  DrawFill(thumb.bounds.left);
  DrawControl(thumb);
}

void VolumeAdjustPopup::OnSliderRelease(LayerControl& thumb) {
  DrawFill(thumb.bounds.left);
  volume_.SetVolume(VolumeFor(thumb.bounds.left));
}

void VolumeAdjustPopup::OnClose() {
  LayerWnd* owner = owner_.get();
  if (owner && owner->IsCreated()) owner->OnPopupClosed(kPopupClosedCode, 0);
  LayerPopup::OnClose();
}

void VolumeAdjustPopup::OnDestroy() {
  // Its owner deletes the object outside this stack (nothing when the popup is held elsewhere).
  PopupOwner::ReleaseAnywhere(this);
}

}  // namespace quillo::ui
