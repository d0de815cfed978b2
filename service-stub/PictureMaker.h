#pragma once
// Draws the catalogue's 64-pixel pictures. Each seed gives its own colours, so pictures of
// different artists and albums differ; the same seed always gives the same picture.
#include <cstdint>
#include <string>

#include "service-stub/PngWriter.h"

namespace quillo::stub {

inline constexpr int kPictureSize = 64;

// A head-and-shoulders silhouette on a radial gradient.
RgbImage ArtistPicture(std::uint32_t seed);
// A record sleeve: a coloured square with a vinyl disc and its label.
RgbImage AlbumPicture(std::uint32_t seed);
// A round face on a plain background, for user logos.
RgbImage UserPicture(std::uint32_t seed);

}  // namespace quillo::stub
