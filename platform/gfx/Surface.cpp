#include "platform/gfx/Surface.h"

#include <cairo.h>

#include <cstring>
#include <utility>

namespace quillo::gfx {
namespace {
struct PngReader {
  std::string_view bytes;
  std::size_t offset = 0;
};

cairo_status_t ReadPngChunk(void* closure, unsigned char* data, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (reader->bytes.size() - reader->offset < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, reader->bytes.data() + reader->offset, length);
  reader->offset += length;
  return CAIRO_STATUS_SUCCESS;
}
}  // namespace

Surface::Surface(int width, int height) {
  if (width < 1 || height < 1) return;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return;
  }
  *this = Surface(s);
}

Surface::Surface(_cairo_surface* adopted)
    : surface_(adopted),
      width_(cairo_image_surface_get_width(adopted)),
      height_(cairo_image_surface_get_height(adopted)),
      stride_(cairo_image_surface_get_stride(adopted)) {}

Surface::~Surface() {
  if (surface_) cairo_surface_destroy(surface_);
}

Surface::Surface(Surface&& other) noexcept
    : surface_(std::exchange(other.surface_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      stride_(std::exchange(other.stride_, 0)) {}

Surface& Surface::operator=(Surface&& other) noexcept {
  if (this != &other) {
    if (surface_) cairo_surface_destroy(surface_);
    surface_ = std::exchange(other.surface_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    stride_ = std::exchange(other.stride_, 0);
  }
  return *this;
}

std::optional<Surface> Surface::FromPng(std::string_view png_bytes) {
  // Cairo's reader trusts the stream to be a PNG; check the signature first so that arbitrary
  // bytes fail cleanly.
  static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png_bytes.size() < 8 || std::memcmp(png_bytes.data(), kSignature, 8) != 0) return {};
  PngReader reader{png_bytes};
  cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(&ReadPngChunk, &reader);
  if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(decoded);
    return {};
  }
  if (cairo_image_surface_get_format(decoded) == CAIRO_FORMAT_ARGB32) return Surface(decoded);
  // RGB24 and grey PNGs come back in other formats; the toolkit works in ARGB32 only.
  Surface converted(cairo_image_surface_get_width(decoded), cairo_image_surface_get_height(decoded));
  if (!converted.IsNull()) {
    cairo_t* cr = cairo_create(converted.native());
    cairo_set_source_surface(cr, decoded, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  cairo_surface_destroy(decoded);
  if (converted.IsNull()) return {};
  return converted;
}

bool Surface::WritePng(const std::string& path) const {
  if (!surface_) return false;
  cairo_surface_flush(surface_);
  return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

Surface Surface::Clone() const {
  Surface copy;
  copy.CopyFrom(*this);
  return copy;
}

void Surface::CopyFrom(const Surface& other) {
  if (this == &other) return;
  if (other.IsNull()) {
    *this = Surface();
    return;
  }
  if (IsNull() || size() != other.size()) *this = Surface(other.width_, other.height_);
  if (IsNull()) return;
  cairo_surface_flush(other.surface_);
  cairo_surface_flush(surface_);
  for (int y = 0; y < height_; ++y)
    std::memcpy(Row(y), other.Row(y), std::size_t(width_) * 4);
  MarkDirty();
}

std::uint32_t* Surface::Row(int y) {
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface_) +
                                          std::ptrdiff_t(y) * stride_);
}

const std::uint32_t* Surface::Row(int y) const {
  return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface_) +
                                                std::ptrdiff_t(y) * stride_);
}

void Surface::MarkDirty() {
  if (surface_) cairo_surface_mark_dirty(surface_);
}

std::uint32_t Surface::PixelAt(int x, int y) const {
  if (!surface_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  cairo_surface_flush(surface_);
  return Row(y)[x];
}

Color Surface::ColorAt(int x, int y) const {
  std::uint32_t p = PixelAt(x, y);
  unsigned a = p >> 24;
  if (a == 0) return Color{0, 0, 0, 0};
  auto straight = [a](unsigned c) { return std::uint8_t(std::min(255u, (c * 255 + a / 2) / a)); };
  return Color{straight((p >> 16) & 0xFF), straight((p >> 8) & 0xFF), straight(p & 0xFF),
               std::uint8_t(a)};
}

}  // namespace quillo::gfx
