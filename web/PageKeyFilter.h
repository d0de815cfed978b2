#pragma once
// Which keys an HTML window keeps from its page and the browser: F1–F12 and the Ctrl key itself
// always (so F5 does not reload the page), and Escape unless Escape closes the window (so that
// it neither closes the window nor reaches the page). Keys pressed together with Ctrl still
// reach the page: copying and pasting in its fields keeps working. Any thread.
namespace quillo::web {

class PageKeyFilter {
 public:
  // X keysyms of the keys the filter knows.
  static constexpr unsigned kEscape = 0xff1b;
  static constexpr unsigned kF1 = 0xffbe;
  static constexpr unsigned kF12 = 0xffc9;
  static constexpr unsigned kControlLeft = 0xffe3;
  static constexpr unsigned kControlRight = 0xffe4;

  enum class Verdict {
    kToPage,  // the page and the browser see the key
    kKeep,    // nobody sees it
    kClose,   // Escape of a window that Escape closes
  };

  static Verdict Judge(unsigned keyval, bool escape_closes);
};

}  // namespace quillo::web
