#pragma once
// One control of a skinned window: an image button, a slider thumb, a text button, a drop-down
// field, a check box, a radio button or a label linked to another control. Owned by its window,
// kept in creation order; the window draws it and turns its clicks into layer events.
#include <string>

#include "platform/gfx/Geometry.h"

namespace quillo::ui {

class LayerListView;

enum class ControlKind {
  kImageButton = 0,
  kSliderThumb = 1,
  kTextButton = 2,  // drawn with pieces of the dialog frame skin
  kList = 3,        // a LayerListView living inside the window
  kDropDown = 4,    // 6-pixel left end, stretched middle, 18-pixel arrow end
  kCheckBox = 5,    // 13 × 13 images, with a checked flag
  kRadio = 6,       // 13 × 13 images, with a checked flag
  kLinkedLabel = 7, // text acting for the control whose id it carries
};

struct LayerControl {
  gfx::Rect bounds;  // window pixels
  gfx::Rect normal;  // source rectangles in the window's skin image
  gfx::Rect hover;
  gfx::Rect pressed_image;
  bool hovered = false;
  bool pressed = false;
  bool hidden = false;
  bool checked = false;
  std::string tooltip;
  std::string text;  // text buttons, drop-down fields and labels
  int id = 0;
  ControlKind kind = ControlKind::kImageButton;
  int linked_id = -1;              // kLinkedLabel: the control it acts for
  gfx::Rect track;                 // kSliderThumb: where the thumb may be
  gfx::Point drag_offset;          // kSliderThumb: thumb position − cursor while dragging
  LayerListView* list = nullptr;   // kList: not owned

  // The tooltip tool of a control is numbered id + 1 (0 is the window's own).
  int tooltip_tool_id() const { return id + 1; }
  bool visible() const { return !hidden; }
};

}  // namespace quillo::ui
