#pragma once
// How the store reports removed songs and user changes upwards. Called on the thread that made
// the change; OnMusicAdded and OnMusicRemoved run while the store's lock is held, so a listener
// must not wait for another thread that needs the store.
#include <string>

#include "store/MusicRecord.h"

namespace quillo::store {

class DocMusicActionListener {
 public:
  virtual ~DocMusicActionListener() = default;
  // A service song was added to the music library.
  virtual void OnMusicAdded(const MusicRecord& record) = 0;
  // A song record was deleted.
  virtual void OnMusicRemoved(const std::string& music_id) = 0;
  // A login answer was taken up, or the user logged out; the current user id (may be empty).
  virtual void OnUserChanged(const std::string& user_id) = 0;
};

}  // namespace quillo::store
