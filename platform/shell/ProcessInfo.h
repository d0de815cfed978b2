#pragma once
// Facts about the running process that the application shell needs. Any thread.
#include <string>

namespace quillo::shell {

long CurrentProcessId();
// The current working folder, ending with '/', or empty when it cannot be read (removed).
std::string CurrentFolder();

}  // namespace quillo::shell
