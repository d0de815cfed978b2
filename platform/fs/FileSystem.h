#pragma once
// File operations the logic needs, with the durability rules the program relies on.
// Paths are UTF-8 and use '/'. No function throws; failures answer false or no value.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::fs {

// The whole file, or no value when it cannot be opened or read, or is not a regular file (a
// pipe, a device or a folder is refused without waiting).
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file atomically: the bytes go to a temporary file in the same folder, which is
// flushed to the disk and renamed over the target, and the folder is synced. A crash at any
// moment leaves the old file or the new one, never a mix. False leaves the old file untouched
// and no temporary file behind.
bool WriteFileAtomic(const std::string& path, std::string_view bytes);

// Plain write that replaces the file in place (for files of no value to the user).
bool WriteFile(const std::string& path, std::string_view bytes);

// Creates the folder and every missing parent; an existing folder is success.
bool CreateFolders(const std::string& path);

bool FileExists(const std::string& path);     // a regular file (links followed)
bool FolderExists(const std::string& path);   // a folder (links followed)
bool PathExists(const std::string& path);     // anything, a dangling link included
bool RemoveFile(const std::string& path);     // false when nothing was removed
bool RemoveEmptyFolder(const std::string& path);
bool RemoveTree(const std::string& path);     // a folder with everything below it
bool RenamePath(const std::string& from, const std::string& to);
std::optional<std::uint64_t> FileSize(const std::string& path);

// When a regular file last changed, in nanoseconds since the epoch; no value otherwise.
std::optional<std::int64_t> ModifiedTimeNs(const std::string& path);

// Whether the name is one WriteFileAtomic gives its temporary file ("." + name + ".tmp-" and
// eight letters or digits).
bool IsAtomicWriteLeftoverName(std::string_view name);
// Removes, in `folder` (and, with recursive, every folder below it, links not followed), the
// temporary files of WriteFileAtomic calls that were interrupted (a crash, a kill): files so
// named that have not changed for `min_age_s` seconds, so that a write still going on is left
// alone. Answers the paths removed. `keep_going` is asked between folders; false stops the walk.
std::vector<std::string> RemoveAtomicWriteLeftovers(const std::string& folder, bool recursive,
                                                    int min_age_s,
                                                    const std::function<bool()>& keep_going = {});

// Names (not paths) of the entries of a folder, "." and ".." left out; empty when unreadable.
std::vector<std::string> ListFolder(const std::string& path);

// The folder part of a path including its final '/', or empty when the path has no '/'.
std::string ParentFolder(std::string_view path);
// The text after the last '/'.
std::string BaseName(std::string_view path);
// Joins a folder (with or without a final '/') and a relative name.
std::string JoinPath(std::string_view folder, std::string_view name);
// The path with a final '/' added when missing.
std::string WithTrailingSlash(std::string_view path);

// Full path of the running executable and its folder (ending in '/').
std::string ExecutablePath();
std::string ProgramFolder();

// Whether the process's standard output (or standard error) is a terminal rather than a pipe
// or a file.
enum class StandardStream { kOutput, kError };
bool IsTerminal(StandardStream stream);

// Current local date and time as "YYYYMMDD-HHMMSS" (for names of kept-aside files).
std::string LocalTimestampText();

}  // namespace quillo::fs
