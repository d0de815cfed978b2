#pragma once
// Starting with the user's session: the desktop's equivalent of the autorun value is an
// autostart entry $XDG_CONFIG_HOME/autostart/<value name>.desktop whose Exec line is the quoted
// executable path followed by the arguments. The folder is read from the environment at every
// call. Any thread; no state is kept in memory.
#include <string>
#include <string_view>

namespace quillo::shell {

// The value name used when none is given: the application's name.
inline constexpr std::string_view kAutorunApplicationName = "Zelbo音乐";

// Writes (or replaces) the entry. An empty executable path means the running program; the
// arguments, when given, follow it after a space exactly as given (already in Exec form).
bool RegisterAutorun(std::string_view value_name = {}, std::string_view arguments = {},
                     std::string_view executable_path = {});
// Removes the entry; false when there was none or it could not be removed.
bool UnregisterAutorun(std::string_view value_name = {});
// True when the entry exists, has an Exec line and is not switched off by the desktop
// ("Hidden=true" or "X-GNOME-Autostart-enabled=false", which session settings write).
bool IsAutorunRegistered(std::string_view value_name = {});

std::string AutorunEntryPath(std::string_view value_name = {});
std::string AutorunEntryText(std::string_view value_name, std::string_view arguments,
                             std::string_view executable_path);

}  // namespace quillo::shell
