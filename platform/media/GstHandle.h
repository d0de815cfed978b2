#pragma once
// Owning handles for GStreamer and GLib objects used by the media graph: each releases its one
// reference when it goes away.
#include <gst/gst.h>

#include <memory>

namespace quillo::audio {

struct GstObjectUnref {
  void operator()(gpointer object) const { gst_object_unref(object); }
};
// A GstObject (element, bus, pad) of which we hold one non-floating reference.
template <typename T>
using GstObjectPtr = std::unique_ptr<T, GstObjectUnref>;

struct GstMiniObjectUnref {
  void operator()(gpointer object) const { gst_mini_object_unref(GST_MINI_OBJECT_CAST(object)); }
};
// A buffer, caps or message we hold one reference to.
template <typename T>
using GstMiniPtr = std::unique_ptr<T, GstMiniObjectUnref>;

struct GSourceDestroy {
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};
// An attached GLib source: detached from its context and released together.
using GSourcePtr = std::unique_ptr<GSource, GSourceDestroy>;

struct GErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

}  // namespace quillo::audio
