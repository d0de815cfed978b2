#pragma once
// Text from outside (service answers, tags, the data file) as quillo-tool prints it. On a
// terminal its control characters are shown escaped ("\x1b", "\u009b"), so that a hostile name
// cannot send commands to the terminal; into a pipe or a file the bytes go as they are, for the
// scripts that read them.
#include <string>
#include <string_view>

#include "platform/fs/FileSystem.h"

namespace quillo::tool {

// One field of a line: on a terminal, tabs and line breaks inside it are escaped too.
std::string Shown(std::string_view text, fs::StandardStream stream = fs::StandardStream::kOutput);
// A text of several lines for standard output: on a terminal, tabs and line feeds are kept.
std::string ShownDocument(std::string_view text);

}  // namespace quillo::tool
