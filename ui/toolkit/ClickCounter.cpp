#include "ui/toolkit/ClickCounter.h"

namespace quillo::ui {
namespace {

ClickCounter::Hook& CurrentHook() {
  static ClickCounter::Hook hook;
  return hook;
}

}  // namespace

void ClickCounter::Set(Hook hook) {
  CurrentHook() = std::move(hook);
}

void ClickCounter::Count(int window_id, int button_id) {
  if (const Hook& hook = CurrentHook()) hook(window_id, button_id);
}

}  // namespace quillo::ui
