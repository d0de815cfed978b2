#include "platform/shell/DetachedLauncher.h"

#include <glib.h>
#include <unistd.h>

namespace quillo::shell {

bool LaunchDetached(const std::vector<std::string>& argv, ChildOutput output) {
  if (argv.empty() || argv.front().empty()) return false;
  std::vector<gchar*> arguments;
  for (const std::string& argument : argv)
    arguments.push_back(const_cast<gchar*>(argument.c_str()));
  arguments.push_back(nullptr);
  // Without G_SPAWN_DO_NOT_REAP_CHILD GLib forks twice, so the child never becomes our zombie.
  int flags = G_SPAWN_SEARCH_PATH | G_SPAWN_STDIN_FROM_DEV_NULL;
  if (output == ChildOutput::kDiscard)
    flags |= G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL;
  GError* error = nullptr;
  gboolean started = g_spawn_async(
      nullptr, arguments.data(), nullptr, static_cast<GSpawnFlags>(flags),
      [](gpointer) { ::setsid(); }, nullptr, nullptr, &error);
  if (error != nullptr) g_error_free(error);
  return started == TRUE;
}

}  // namespace quillo::shell
