#pragma once
// Which artist picture the main window shows. At every song start the previous picture goes;
// the artist's "artist.*" file in the artist folder is shown when there is one, otherwise, when
// the artist's name is known, the picture is asked for and shown when it arrives — only while
// a song of that artist still plays (a late picture of an earlier artist is kept on disk, not
// shown).
//
// Display-free; window thread only. The source outlives the object.
#include <optional>
#include <string>

namespace quillo::ui {

class ArtistPicture {
 public:
  // Where pictures come from (the download manager and the artist folders).
  class Source {
   public:
    virtual ~Source() = default;
    // The picture file already in the song's artist folder, none when there is none.
    virtual std::optional<std::string> FindPicture(const std::string& music_id,
                                                   const std::string& artist_name) = 0;
    // Asks for the artist's picture; answers whether a download started.
    virtual bool FetchPicture(const std::string& music_id, const std::string& artist_id,
                              const std::string& artist_name) = 0;
  };

  // Without a source no picture is ever shown.
  void SetSource(Source* source) { source_ = source; }

  // A song started. Answers the file to show now, or "" (nothing shown: the previous picture is
  // released either way).
  std::string OnSongStarted(const std::string& music_id, const std::string& artist_id,
                            const std::string& artist_name);
  // A downloaded picture. Answers whether it is the playing artist's (then it is shown).
  bool OnDownloaded(const std::string& artist_id, const std::string& path);
  // The shown file failed to load: nothing is shown.
  void Drop() { path_.clear(); }

  const std::string& path() const { return path_; }
  const std::string& artist_id() const { return artist_id_; }
  bool waiting() const { return waiting_; }

 private:
  Source* source_ = nullptr;
  std::string artist_id_;
  std::string path_;
  bool waiting_ = false;
};

}  // namespace quillo::ui
