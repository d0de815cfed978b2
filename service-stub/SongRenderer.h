#pragma once
// The catalogue's audio files, rendered when a song is first asked for and kept in the
// catalogue folder's "music/" for every later fetch and start. The listing (ids, titles,
// lyrics, pictures) never waits for audio; only whoever fetches a song not rendered yet waits,
// and only for that song.
//
// A file is in place only when whole (the encoder writes beside it and renames), so its presence
// is what "rendered" means, also across restarts. Any thread may call; calls for one song while
// it renders wait for that render and share its outcome, so a song is rendered once however many
// fetch it at the same time. At most `parallel` songs render at once; the others queue.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "service-stub/Catalogue.h"

namespace quillo::stub {

class SongRenderer {
 public:
  // `catalogue` outlives this object; `catalogue_folder` ends with '/'. `note` (may be empty)
  // gets one line per finished render, on the rendering thread.
  SongRenderer(const Catalogue& catalogue, std::string catalogue_folder, int parallel = 2,
               std::function<void(const std::string&)> note = {});
  SongRenderer(const SongRenderer&) = delete;
  SongRenderer& operator=(const SongRenderer&) = delete;

  // The absolute path of the song's whole audio file, rendering it first when it is not there.
  // Blocks while the song renders (this call's render or another's). No value when rendering
  // failed, with the reason in *error; a later call tries again.
  std::optional<std::string> Ensure(const CatalogueSong& song, std::string* error);

  // The size of the song's file when it has been rendered; never renders.
  std::optional<std::uint64_t> RenderedSize(const CatalogueSong& song) const;

  // Renders every song that has no file yet, `threads` songs at a time (within the limit given
  // at construction). False with the first reason on failure.
  bool RenderAll(int threads, std::string* error);

  // How many renders this object has run (successful or not), for the tests and the log.
  int renders() const;

  std::string AudioPath(const CatalogueSong& song) const;

 private:
  struct Render {
    bool done = false;
    bool ok = false;
    std::string error;
  };

  bool RenderNow(const CatalogueSong& song, std::string* error);

  const Catalogue& catalogue_;
  const std::string folder_;
  const int parallel_;
  const std::function<void(const std::string&)> note_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;  // a render finished or a slot came free
  std::map<std::string, std::shared_ptr<Render>> running_;  // by song id
  int busy_ = 0;     // renders holding a slot
  int renders_ = 0;
};

}  // namespace quillo::stub
