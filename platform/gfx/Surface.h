#pragma once
// An owned 32-bit image: Cairo ARGB32, premultiplied alpha, native-endian 0xAARRGGBB words.
// Back buffers of the skinned windows and the decoded skin images are Surfaces.
//
// Any thread may use a Surface it owns; a Surface is not shared between threads.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

struct _cairo_surface;

namespace quillo::gfx {

class Surface {
 public:
  // A null surface (no pixels).
  Surface() = default;
  // A surface of the given size, every pixel transparent. A size below 1 × 1 gives a null one.
  Surface(int width, int height);
  ~Surface();
  Surface(Surface&& other) noexcept;
  Surface& operator=(Surface&& other) noexcept;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  // Decodes PNG bytes; no value when they are not a readable PNG.
  static std::optional<Surface> FromPng(std::string_view png_bytes);
  // Writes the pixels (with their alpha) as a PNG file. False on failure.
  bool WritePng(const std::string& path) const;
  Surface Clone() const;
  // Makes this surface a copy of `other`, in its own pixels when the sizes match (no new
  // memory: a window's background is copied again at every full redraw).
  void CopyFrom(const Surface& other);

  bool IsNull() const { return surface_ == nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  Size size() const { return Size{width_, height_}; }
  int stride() const { return stride_; }

  // Raw premultiplied pixels. Call MarkDirty after writing through them.
  std::uint32_t* Row(int y);
  const std::uint32_t* Row(int y) const;
  void MarkDirty();

  // The premultiplied word at (x, y); 0 outside the surface.
  std::uint32_t PixelAt(int x, int y) const;
  // The same pixel as a straight colour (alpha 0 gives transparent black).
  Color ColorAt(int x, int y) const;

  // For platform code that hands the pixels to Cairo or GDK. The surface keeps ownership.
  _cairo_surface* native() const { return surface_; }

 private:
  explicit Surface(_cairo_surface* adopted);
  _cairo_surface* surface_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
};

}  // namespace quillo::gfx
