#include "platform/gfx/ImageDecoder.h"

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace quillo::gfx {
namespace {

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
using LoaderPtr = std::unique_ptr<GdkPixbufLoader, GObjectUnref>;

// Keeps the decoded size within kMaxDecodedImageSide, keeping the aspect.
void OnSizePrepared(GdkPixbufLoader* loader, int width, int height, gpointer) {
  const int side = std::max(width, height);
  if (side <= kMaxDecodedImageSide || side <= 0) return;
  const double scale = double(kMaxDecodedImageSide) / side;
  gdk_pixbuf_loader_set_size(loader, std::max(1, int(width * scale)),
                             std::max(1, int(height * scale)));
}

// The pixbuf's straight RGB(A) bytes as premultiplied native-endian ARGB32 words.
std::optional<Surface> FromPixbuf(GdkPixbuf* pixbuf) {
  if (gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
      gdk_pixbuf_get_bits_per_sample(pixbuf) != 8)
    return {};
  const int width = gdk_pixbuf_get_width(pixbuf);
  const int height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
  if (channels != (alpha ? 4 : 3)) return {};
  Surface surface(width, height);
  if (surface.IsNull()) return {};
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
  for (int y = 0; y < height; ++y) {
    const guchar* in = pixels + std::size_t(y) * stride;
    std::uint32_t* out = surface.Row(y);
    for (int x = 0; x < width; ++x, in += channels) {
      const std::uint32_t a = alpha ? in[3] : 255;
      auto pre = [a](guchar c) { return std::uint32_t(c) * a / 255; };
      out[x] = (a << 24) | (pre(in[0]) << 16) | (pre(in[1]) << 8) | pre(in[2]);
    }
  }
  surface.MarkDirty();
  return surface;
}

}  // namespace

std::optional<Surface> DecodeImage(std::string_view bytes) {
  if (bytes.empty()) return {};
  if (std::optional<Surface> png = Surface::FromPng(bytes)) return png;
  LoaderPtr loader(gdk_pixbuf_loader_new());
  g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(OnSizePrepared), nullptr);
  GError* error = nullptr;
  bool ok = gdk_pixbuf_loader_write(loader.get(), reinterpret_cast<const guchar*>(bytes.data()),
                                    bytes.size(), &error);
  // Closing is always needed (it frees the loader's state); it also reports a truncated file.
  ok = gdk_pixbuf_loader_close(loader.get(), ok ? &error : nullptr) && ok;
  if (error != nullptr) g_error_free(error);
  if (!ok) return {};
  // The first frame of an animation (GIF) is the picture.
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
  if (pixbuf == nullptr) return {};
  return FromPixbuf(pixbuf);
}

}  // namespace quillo::gfx
