#pragma once
// Makes sure the data folder holds the catalogue's listing files: "catalogue/lyrics" (LRC and
// scrambled karaoke scripts) and "catalogue/pictures" (64-pixel PNG), and the folder
// "catalogue/music" where SongRenderer puts each song's audio when it is first fetched. They are
// written on the first start only (in well under a second); a stamp file written last records the
// song count and seed, so a later start (or one after an interrupted one) knows what is there.
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
};

class CatalogueBuilder {
 public:
  // note: receives progress and notices (one line each, no newline).
  explicit CatalogueBuilder(std::function<void(const std::string&)> note) : note_(std::move(note)) {}

  // The catalogue; writes its listing files first when needed. No audio is rendered here. No
  // value on failure (a disk error), with the reason in *error.
  std::optional<Catalogue> Prepare(const CatalogueRequest& request, std::string* error);

  static std::string CatalogueFolder(const std::string& data_folder);

 private:
  bool WriteLyrics(const Catalogue& catalogue, const std::string& folder, std::string* error);
  bool WritePictures(const Catalogue& catalogue, const std::string& folder, std::string* error);

  std::function<void(const std::string&)> note_;
};

}  // namespace quillo::stub
