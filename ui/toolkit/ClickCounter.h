#pragma once
// Where the skinned windows report button clicks for the usage statistics. The program sets
// one counter at start-up (the statistics object, through the app); without one, clicks are
// not counted. The toolkit knows nothing of the service.
//
// Window thread only.
#include <functional>

namespace quillo::ui {

class ClickCounter {
 public:
  // window_id: the window's skin id; button_id: the control's id.
  using Hook = std::function<void(int window_id, int button_id)>;

  // Replaces the counter; an empty hook stops counting.
  static void Set(Hook hook);
  // A control was released inside its rectangle after being pressed.
  static void Count(int window_id, int button_id);
};

}  // namespace quillo::ui
