#pragma once
// Internal to platform/web: one reference to a GObject, released with g_object_unref.
#include <glib-object.h>

#include <memory>

namespace quillo::web {

struct GObjectUnref {
  void operator()(gpointer object) const {
    if (object) g_object_unref(object);
  }
};

template <typename T>
using GObjectHandle = std::unique_ptr<T, GObjectUnref>;

}  // namespace quillo::web
