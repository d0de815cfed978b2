#pragma once
// The registry's key tree mapped onto folders: a key is a folder, its values are the files in it.
#include <string>

namespace quillo::shell {

// Deletes the folder with everything below it, deepest first: each sub-folder is emptied and
// removed before its parent. Symbolic links are removed, never followed. Answers true only when
// every deletion succeeded and the folder itself is gone; a folder that does not exist answers
// false (there was nothing to delete). An entry that cannot be deleted ends the walk with false
// instead of being tried again forever.
bool DeleteKeyTree(const std::string& folder);

}  // namespace quillo::shell
