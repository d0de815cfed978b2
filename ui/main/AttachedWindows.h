#pragma once
// Windows that follow the main window (the lyric window, the hosted page window, the equaliser):
// each registered window has an attachment — a side of the main window (or none) and the offset
// of its top-left corner from the main window's — and snaps to the main window, or to another
// registered window, within 15 pixels while the user drags it. Window thread.
//
// The windows are reached through AttachableWindow; a registered window must be detached before
// it is destroyed.
#include <vector>

#include "platform/gfx/Geometry.h"

namespace quillo::ui {

class AttachableWindow {
 public:
  virtual ~AttachableWindow() = default;
  virtual gfx::Rect AttachedRect() const = 0;
  // Moves without resizing, activating or restacking.
  virtual void MoveAttachedTo(gfx::Point top_left) = 0;
};

enum class AttachSide { kFree = 0, kBelow = 1, kAbove = 2, kRight = 3, kLeft = 4 };

struct Attachment {
  AttachSide side = AttachSide::kFree;
  gfx::Point offset;  // from the main window's top-left corner
  gfx::Point grab;    // where the cursor grabbed the window, in its own coordinates
};

class AttachedWindows {
 public:
  static constexpr int kSnapDistance = 15;
  static constexpr int kPushDistance = 14;

  // The attachment of a window standing at `other` beside a main window at `main` (later rules
  // win: below, above, right, left).
  static Attachment Compute(const gfx::Rect& main, const gfx::Rect& other);
  // The first side (below, above, right, left) within the snap distance, with the aligned
  // top-left corner; side kFree when none applies.
  static Attachment Snap(const gfx::Rect& target, const gfx::Rect& proposed);

  void AttachWindow(AttachableWindow& window, const gfx::Rect& main);
  void DetachWindow(AttachableWindow& window);
  void NoteMoveStart(AttachableWindow& window, gfx::Point grab);
  // The main window moved (or was resized) to `main`: attached windows follow, free ones are
  // examined again.
  void OnMainMoved(const gfx::Rect& main);
  void OnMainResized(const gfx::Rect& main);
  // Building a layout sets every window free.
  void SetAllFree();
  // A registered window is being dragged with the cursor at `cursor` (screen): answers the
  // rectangle it should take. Unregistered windows keep the proposed rectangle.
  gfx::Rect OnAttachedMoving(AttachableWindow& window, const gfx::Rect& main,
                             const gfx::Rect& proposed, gfx::Point cursor);

  const Attachment* Find(const AttachableWindow& window) const;
  std::size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    AttachableWindow* window;
    Attachment attachment;
  };
  Entry* FindEntry(const AttachableWindow& window);
  void MoveAll(const gfx::Rect& main);

  std::vector<Entry> entries_;
  bool moving_attached_ = false;
};

}  // namespace quillo::ui
