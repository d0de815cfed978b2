#pragma once
// Decodes a picture file's bytes of any kind the platform's image loader reads (PNG, JPEG, GIF,
// BMP, …) into a Surface. PNG goes through Cairo as the skins do; the other kinds through
// gdk-pixbuf. A picture larger than kMaxSide on a side is scaled down while it is decoded (the
// program shows pictures small), so a huge file never becomes a huge surface.
//
// Any thread; no display needed.
#include <optional>
#include <string_view>

#include "platform/gfx/Surface.h"

namespace quillo::gfx {

inline constexpr int kMaxDecodedImageSide = 1024;

// No value when the bytes are no picture the loader reads (empty, truncated, unknown kind).
std::optional<Surface> DecodeImage(std::string_view bytes);

}  // namespace quillo::gfx
