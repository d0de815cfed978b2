#pragma once
// The snapshot source: a GStreamer source element of our own ("quillosnapshotsrc") that serves a
// song's bytes from a copy of the file taken when the graph is built.
//
// The player starts a song while the downloader still writes its file. The snapshot is read with
// an ordinary read-only open, which never disturbs the writer, and it never grows: the element
// answers random-access reads (pull mode) and sequential ones (push mode) with memory copies,
// reports the snapshot's length as the stream's size and gives end of stream at its end. No read
// ever waits for more data; continuing past the end is the player's job (a new graph over a new
// snapshot).
#include <gst/gst.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/GstHandle.h"

namespace quillo::audio {

class SnapshotSource {
 public:
  using Bytes = std::vector<std::uint8_t>;

  // Registers the element type with GStreamer for this process only (no plugin, no registry
  // entry). Idempotent and thread-safe; GStreamer must be initialised.
  static void Register();

  // Everything `path` holds now, read in full. Null when the file cannot be opened, cannot be
  // read up to the size it had when opened, or does not fit in memory. An empty file gives an
  // empty snapshot.
  static std::shared_ptr<const Bytes> TakeSnapshot(const std::string& path);

  // A new element named `name` that serves `snapshot` (which it shares, never copies). The
  // caller holds the only reference; adding it to a bin gives the bin its own.
  static GstObjectPtr<GstElement> Create(std::shared_ptr<const Bytes> snapshot,
                                         const std::string& name);

  static constexpr const char* kElementName = "quillosnapshotsrc";
};

}  // namespace quillo::audio
