#pragma once
// The pages the program ships inside itself (the component download page, the upload page and
// their scripts, styles and pictures), addressed by their relative name as the pages link them:
// "downloaddlg.html", "common.js", "img/wnd-bk.png". Any thread; the bytes live for the whole
// run.
//
// What the pages expect of their windows (every argument a text):
// - "downloaddlg.html" calls external.OnLoad() once loaded and again for its retry button,
//   external.Cancel() for its cancel button, WindowMin/WindowClose/WindowStartMove for its own
//   caption. Page functions: OnStartDownload(), OnDownloadProgress(received, total) with decimal
//   byte counts ("0" total: no percentage), OnFinishDownload(text), OnDownloadError(text) (shown,
//   with a retry button).
// - "upload.html" (417 x 300) reads GetMusicName/GetArtistName once loaded, calls
//   OpenMusicFile/OpenLyricFile and UploadMusic(path)/UploadLyric(path), WindowClose. Page
//   functions: setMusicPath(path), setLyricPath(path), OnUploadProgress(sent, total) with decimal
//   byte counts, OnUploadFinished(ok, text) with ok "1" or "true" for success (anything else is a
//   failure) and an optional text to show instead of the page's own.
// - "notification.html" shows the percent-encoded text after "#text=" in its address (else a
//   greeting); WindowClose.
// Opened without those methods (in a plain browser) each page shows a note and calls nothing.
#include <optional>
#include <string_view>

namespace quillo::resources {

struct BuiltInPage {
  std::string_view bytes;
  std::string_view mime_type;  // "text/html; charset=utf-8", "text/css", "image/png" …
};

// The resource of that name; no value for unknown names, names with "..", a leading '/', a
// backslash or a NUL.
std::optional<BuiltInPage> FindBuiltInPage(std::string_view name);

}  // namespace quillo::resources
