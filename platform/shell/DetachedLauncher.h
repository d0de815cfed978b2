#pragma once
// Starting a program that outlives this process: the desktop's equivalent of the shell's "open"
// verb with a hidden window. The child runs in a session of its own (a signal to this process's
// terminal or group does not reach it), inherits no descriptor but the standard ones, and is
// reaped without this process waiting for it.
#include <string>
#include <vector>

namespace quillo::shell {

enum class ChildOutput { kInherit, kDiscard };

// argv[0] is the program: a path, or a name looked up in PATH. Answers whether the child was
// started (not whether it succeeded). Any thread.
bool LaunchDetached(const std::vector<std::string>& argv,
                    ChildOutput output = ChildOutput::kInherit);

}  // namespace quillo::shell
