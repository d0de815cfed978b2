#include "ui/main/AttachedWindows.h"

#include <cstdlib>

namespace quillo::ui {
namespace {

bool OverlapX(const gfx::Rect& a, const gfx::Rect& b) {
  return a.left < b.right && b.left < a.right;
}
bool OverlapY(const gfx::Rect& a, const gfx::Rect& b) {
  return a.top < b.bottom && b.top < a.bottom;
}

// Aligns the offset along the edge the window sits on.
void Align(Attachment& a, const gfx::Rect& main, const gfx::Rect& other) {
  constexpr int d = AttachedWindows::kSnapDistance;
  if (a.side == AttachSide::kRight || a.side == AttachSide::kLeft) {
    if (std::abs(main.top - other.top) < d)
      a.offset.y = 0;
    else if (std::abs(main.bottom - other.bottom) < d)
      a.offset.y = main.height() - other.height();
  } else if (a.side == AttachSide::kBelow || a.side == AttachSide::kAbove) {
    if (std::abs(main.left - other.left) < d)
      a.offset.x = 0;
    else if (std::abs(main.right - other.right) < d)
      a.offset.x = main.width() - other.width();
  }
}

gfx::Point OffsetForSide(AttachSide side, const gfx::Rect& main, const gfx::Rect& other) {
  gfx::Point offset{other.left - main.left, other.top - main.top};
  switch (side) {
    case AttachSide::kBelow:
      offset.y = main.height();
      break;
    case AttachSide::kAbove:
      offset.y = -other.height();
      break;
    case AttachSide::kRight:
      offset.x = main.width();
      break;
    case AttachSide::kLeft:
      offset.x = -other.width();
      break;
    case AttachSide::kFree:
      break;
  }
  return offset;
}

gfx::Rect At(const gfx::Rect& r, gfx::Point top_left) {
  return gfx::Rect::FromXYWH(top_left.x, top_left.y, r.width(), r.height());
}

}  // namespace

Attachment AttachedWindows::Compute(const gfx::Rect& main, const gfx::Rect& other) {
  Attachment a;
  a.offset = {other.left - main.left, other.top - main.top};
  if (std::abs(main.bottom - other.top) <= kSnapDistance && OverlapX(main, other))
    a.side = AttachSide::kBelow;
  if (std::abs(main.top - other.bottom) < kSnapDistance && OverlapX(main, other))
    a.side = AttachSide::kAbove;
  if (std::abs(main.right - other.left) < kSnapDistance && OverlapY(main, other))
    a.side = AttachSide::kRight;
  if (std::abs(main.left - other.right) < kSnapDistance && OverlapY(main, other))
    a.side = AttachSide::kLeft;
  if (a.side != AttachSide::kFree) {
    a.offset = OffsetForSide(a.side, main, other);
    Align(a, main, other);
  }
  return a;
}

Attachment AttachedWindows::Snap(const gfx::Rect& target, const gfx::Rect& proposed) {
  Attachment a;
  a.offset = {proposed.left - target.left, proposed.top - target.top};
  if (std::abs(target.bottom - proposed.top) <= kSnapDistance && OverlapX(target, proposed))
    a.side = AttachSide::kBelow;
  else if (std::abs(target.top - proposed.bottom) <= kSnapDistance && OverlapX(target, proposed))
    a.side = AttachSide::kAbove;
  else if (std::abs(target.right - proposed.left) <= kSnapDistance && OverlapY(target, proposed))
    a.side = AttachSide::kRight;
  else if (std::abs(target.left - proposed.right) <= kSnapDistance && OverlapY(target, proposed))
    a.side = AttachSide::kLeft;
  if (a.side != AttachSide::kFree) {
    a.offset = OffsetForSide(a.side, target, proposed);
    Align(a, target, proposed);
  }
  return a;
}

AttachedWindows::Entry* AttachedWindows::FindEntry(const AttachableWindow& window) {
  for (Entry& e : entries_)
    if (e.window == &window) return &e;
  return nullptr;
}

const Attachment* AttachedWindows::Find(const AttachableWindow& window) const {
  for (const Entry& e : entries_)
    if (e.window == &window) return &e.attachment;
  return nullptr;
}

void AttachedWindows::AttachWindow(AttachableWindow& window, const gfx::Rect& main) {
  Attachment a = Compute(main, window.AttachedRect());
  if (Entry* e = FindEntry(window)) {
    e->attachment = a;
    return;
  }
  entries_.push_back({&window, a});
}

void AttachedWindows::DetachWindow(AttachableWindow& window) {
  std::erase_if(entries_, [&](const Entry& e) { return e.window == &window; });
}

void AttachedWindows::NoteMoveStart(AttachableWindow& window, gfx::Point grab) {
  if (Entry* e = FindEntry(window)) e->attachment.grab = grab;
}

void AttachedWindows::SetAllFree() {
  for (Entry& e : entries_) e.attachment.side = AttachSide::kFree;
}

void AttachedWindows::MoveAll(const gfx::Rect& main) {
  moving_attached_ = true;
  for (Entry& e : entries_) {
    if (e.attachment.side == AttachSide::kFree) {
      const gfx::Point grab = e.attachment.grab;
      e.attachment = Compute(main, e.window->AttachedRect());
      e.attachment.grab = grab;
      continue;
    }
    e.window->MoveAttachedTo({main.left + e.attachment.offset.x, main.top + e.attachment.offset.y});
  }
  moving_attached_ = false;
}

void AttachedWindows::OnMainMoved(const gfx::Rect& main) {
  MoveAll(main);
}

void AttachedWindows::OnMainResized(const gfx::Rect& main) {
  for (Entry& e : entries_) {
    const gfx::Rect w = e.window->AttachedRect();
    switch (e.attachment.side) {
      case AttachSide::kBelow:
        e.attachment.offset.y = main.height();
        break;
      case AttachSide::kAbove:
        e.attachment.offset.y = -w.height();
        break;
      case AttachSide::kRight:
        e.attachment.offset.x = main.width();
        break;
      case AttachSide::kLeft:
        e.attachment.offset.x = -w.width();
        break;
      case AttachSide::kFree:
        break;
    }
  }
  MoveAll(main);
}

gfx::Rect AttachedWindows::OnAttachedMoving(AttachableWindow& window, const gfx::Rect& main,
                                            const gfx::Rect& proposed, gfx::Point cursor) {
  Entry* entry = FindEntry(window);
  if (entry == nullptr || moving_attached_) return proposed;
  gfx::Rect place =
      At(proposed, {cursor.x - entry->attachment.grab.x, cursor.y - entry->attachment.grab.y});
  const gfx::Point grab = entry->attachment.grab;
  Attachment snapped = Snap(main, place);
  if (snapped.side != AttachSide::kFree) {
    place = At(place, {main.left + snapped.offset.x, main.top + snapped.offset.y});
    // Pushed flush against another window on the same edge when its far edge comes close.
    for (const Entry& other : entries_) {
      if (other.window == &window || other.attachment.side != snapped.side) continue;
      const gfx::Rect o = other.window->AttachedRect();
      const bool horizontal_edge =
          snapped.side == AttachSide::kBelow || snapped.side == AttachSide::kAbove;
      if (horizontal_edge) {
        if (std::abs(place.right - o.left) <= kPushDistance)
          place = At(place, {o.left - place.width(), place.top});
        else if (std::abs(place.left - o.right) <= kPushDistance)
          place = At(place, {o.right, place.top});
      } else {
        if (std::abs(place.bottom - o.top) <= kPushDistance)
          place = At(place, {place.left, o.top - place.height()});
        else if (std::abs(place.top - o.bottom) <= kPushDistance)
          place = At(place, {place.left, o.bottom});
      }
    }
    snapped.offset = {place.left - main.left, place.top - main.top};
    snapped.grab = grab;
    entry->attachment = snapped;
    return place;
  }
  for (const Entry& other : entries_) {
    if (other.window == &window) continue;
    const gfx::Rect o = other.window->AttachedRect();
    Attachment to_other = Snap(o, place);
    if (to_other.side == AttachSide::kFree) continue;
    place = At(place, {o.left + to_other.offset.x, o.top + to_other.offset.y});
    entry->attachment.offset = {place.left - main.left, place.top - main.top};
    // Attached through a window that is itself attached, it moves with the main window too.
    entry->attachment.side = other.attachment.side;
    return place;
  }
  entry->attachment.side = AttachSide::kFree;
  entry->attachment.offset = {place.left - main.left, place.top - main.top};
  return place;
}

}  // namespace quillo::ui
