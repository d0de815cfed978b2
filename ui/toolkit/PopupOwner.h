#pragma once
// Owns the popups a window opens (the colour picker, the song tip, the volume popup) and
// releases them safely. A popup that has closed hands itself back with Release from inside its
// own call stack; the object is deleted afterwards, by a task posted through the owner's loop
// target, outside that stack. A popup still held when its owner goes is destroyed with it, and
// a deletion still queued then is dropped with the target (the popup goes with the owner).
//
// Every window has one (LayerWnd::popups()), destroyed with the window's native window; popups
// opened without an owner window go to Shared(). A popup refers to its owner window only through
// a WindowRef, which is empty from the moment the owner starts being destroyed.
//
// Window thread only.
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/loop/LoopTarget.h"

namespace quillo::ui {

class LayerWnd;

class PopupOwner {
 public:
  PopupOwner();
  // Destroys every popup still held.
  ~PopupOwner();
  PopupOwner(const PopupOwner&) = delete;
  PopupOwner& operator=(const PopupOwner&) = delete;

  // Takes the popup; answers it.
  template <typename Popup>
  Popup* Adopt(std::unique_ptr<Popup> popup) {
    Popup* raw = popup.get();
    AdoptWindow(std::unique_ptr<LayerWnd>(std::move(popup)));
    return raw;
  }
  // The popup has closed (or failed to open): it is deleted from the loop soon after, and at
  // the latest with this owner. Nothing for a popup this owner does not hold.
  void Release(LayerWnd* popup);

  // Release by whichever owner holds the popup (popups call it from their OnDestroy).
  static void ReleaseAnywhere(LayerWnd* popup);

  // The first popup held of the type whose native window exists, or null.
  template <typename Popup>
  Popup* Find() const {
    for (const auto& popup : open_) {
      if (auto* typed = dynamic_cast<Popup*>(popup.get()); typed && IsOpen(*popup)) return typed;
    }
    return nullptr;
  }
  // The same over every owner of the process (the popups of which at most one exists).
  template <typename Popup>
  static Popup* FindAnywhere() {
    for (PopupOwner* owner : Owners()) {
      if (Popup* found = owner->Find<Popup>()) return found;
    }
    return nullptr;
  }

  // Popups held open, and popups released but not deleted yet.
  std::size_t open_count() const { return open_.size(); }
  std::size_t released_count() const { return released_.size(); }

  // The owner of the popups opened for `owner`: its own; Shared() when null.
  static PopupOwner& For(LayerWnd* owner);
  // The owner of popups without an owner window; lives as long as the process.
  static PopupOwner& Shared();

 private:
  void AdoptWindow(std::unique_ptr<LayerWnd> popup);
  static bool IsOpen(const LayerWnd& popup);
  static std::vector<PopupOwner*>& Owners();
  void DeleteReleased();

  std::vector<std::unique_ptr<LayerWnd>> open_;
  std::vector<std::unique_ptr<LayerWnd>> released_;
  // Made on the first release, and again when the process's loop has been replaced (tests).
  std::unique_ptr<loop::LoopTarget> target_;
  bool tearing_down_ = false;
};

}  // namespace quillo::ui
