#pragma once
// A real text entry of the window system hosted inside a skinned window, so that typing,
// selection, the clipboard and input methods behave as everywhere else on the desktop. Its
// owner copies its pixels into the window's back buffer after every change.
#include <string>
#include <string_view>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Surface.h"

namespace quillo::window {

class EditListener {
 public:
  virtual ~EditListener() = default;
  // Text, caret or selection changed. Window thread.
  virtual void OnEditChanged() = 0;
  virtual void OnEditFocus(bool focused) = 0;
  // Enter was pressed in the entry.
  virtual void OnEditActivate() {}
};

class EditHost {
 public:
  virtual ~EditHost() = default;
  // Not owned; must outlive the host or be reset to nullptr.
  virtual void SetListener(EditListener* listener) = 0;
  virtual void SetText(std::string_view utf8) = 0;
  virtual std::string Text() const = 0;
  virtual void SelectAll() = 0;
  virtual void SetRect(const gfx::Rect& window_rect) = 0;
  virtual void SetVisible(bool visible) = 0;
  // A password field: every character is shown as `echo` (Text still answers what was typed);
  // 0 shows the text again. Hosts that draw no text may ignore it.
  virtual void SetEcho(char32_t echo) { (void)echo; }
  virtual void Focus() = 0;
  virtual bool HasFocus() const = 0;
  // The caret's x in the entry's own pixels.
  virtual int CaretX() const = 0;
  // The entry's pixels as they are now; a null surface before it is laid out.
  virtual gfx::Surface Render() = 0;
};

}  // namespace quillo::window
