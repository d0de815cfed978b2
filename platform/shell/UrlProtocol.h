#pragma once
// Registration of the program as the handler of its URL scheme, the desktop's equivalent of the
// protocol key under the classes root: the protocol name N owns the folder
// $XDG_DATA_HOME/applications/<n>/ (n = N in lower case, which is also the scheme) holding the
// desktop entry "url-handler.desktop" (desktop id "<n>-url-handler.desktop"), and
// $XDG_CONFIG_HOME/mimeapps.list names that id as the default handler of
// "x-scheme-handler/<n>". The folders are read from the environment at every call.
//
// Any thread; no state is kept in memory.
#include <string>
#include <string_view>

namespace quillo::shell {

enum UrlProtocolResult : int {
  kUrlProtocolFailed = 0,
  kUrlProtocolRegistered = 1,
  kUrlProtocolAlreadyPresent = 2,
};

// 0 failure (empty or unusable name, empty path, a file that could not be written), 1
// registered, 2 the protocol's folder exists already (nothing is written, the old entry stays).
// The icon index has no meaning for desktop entries and is not written. The entry's visible name
// is display_name, or N + "Protocol" when none is given.
int RegisterUrlProtocol(std::string_view name, std::string_view executable_path, int icon_index,
                        std::string_view display_name = {});

// Deletes the protocol's folder as a key tree (KeyTree.h) and takes its id out of the default
// handlers; another program's handler for the scheme is left alone. An empty name does nothing.
// Answers true when the folder was deleted and the handler list is right.
bool UnregisterUrlProtocol(std::string_view name);

// True when registering would change nothing: the protocol's entry is the one
// RegisterUrlProtocol writes for this program and name, and the desktop's default for the scheme
// is that entry. Only reads.
bool UrlProtocolIsRegistered(std::string_view name, std::string_view executable_path,
                             std::string_view display_name = {});

// The scheme for a protocol name ("QUILLO" → "quillo"), or empty when the name is not a
// valid scheme (a letter, then letters, digits, '+', '-' or '.').
std::string UrlSchemeForProtocol(std::string_view name);
std::string UrlProtocolFolder(std::string_view name);
std::string UrlProtocolDesktopId(std::string_view name);
// The desktop entry written for the protocol.
std::string UrlProtocolEntryText(std::string_view name, std::string_view executable_path,
                                 std::string_view display_name);

}  // namespace quillo::shell
