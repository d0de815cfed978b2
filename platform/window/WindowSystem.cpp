#include "platform/window/WindowSystem.h"

namespace quillo::window {
namespace {
WindowSystem* g_system = nullptr;
}

WindowSystem* WindowSystem::Instance() { return g_system; }
void WindowSystem::SetInstance(WindowSystem* system) { g_system = system; }

}  // namespace quillo::window
