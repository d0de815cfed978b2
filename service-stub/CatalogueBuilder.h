#pragma once
// Makes sure the data folder holds the catalogue's files: "catalogue/music" (audio),
// "catalogue/lyrics" (LRC and scrambled karaoke scripts) and "catalogue/pictures" (64-pixel PNG).
// They are generated on the first start only; a stamp file written last records the song count
// and seed, so a later start (or one after an interrupted generation) knows what is there.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "service-stub/Catalogue.h"

namespace quillo::stub {

struct CatalogueRequest {
  std::string data_folder;
  int songs = Catalogue::kDefaultSongs;  // used only when generating
  std::uint32_t seed = Catalogue::kDefaultSeed;
  int threads = 2;                       // encoder processes at a time
};

class CatalogueBuilder {
 public:
  // note: receives progress and notices (one line each, no newline).
  explicit CatalogueBuilder(std::function<void(const std::string&)> note) : note_(std::move(note)) {}

  // The catalogue, its file sizes loaded; generates the files first when needed. No value on
  // failure (an encoder missing, a disk error), with the reason in *error.
  std::optional<Catalogue> Prepare(const CatalogueRequest& request, std::string* error);

  static std::string CatalogueFolder(const std::string& data_folder);

 private:
  bool Generate(const Catalogue& catalogue, const std::string& folder, int threads,
                std::string* error);
  bool WriteLyrics(const Catalogue& catalogue, const std::string& folder, std::string* error);
  bool WritePictures(const Catalogue& catalogue, const std::string& folder, std::string* error);
  bool EncodeSongs(const Catalogue& catalogue, const std::string& folder, int threads,
                   std::string* error);

  std::function<void(const std::string&)> note_;
};

}  // namespace quillo::stub
