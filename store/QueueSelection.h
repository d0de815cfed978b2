#pragma once
// The play queue's selections: which song of the current list plays next, before, at random or
// now. There is no queue object of its own: the queue is the current list (a stored playlist, a
// temporary list held in memory, or a phone's list) together with the current item, both kept by
// the store and written through to "module.music.currentplaylist" / "module.music.currentplay".
//
// Rules by list kind (the list id decides it):
// - "t_…" temporary lists: a list that is not held (gone after a restart) makes next and
//   previous fall back to the default list, random and current fail; an item that is not in the
//   list selects the first record; returned records carry the library's (or else the play
//   cache's) file names.
// - "d_…" phone lists: as temporary lists, but a missing item selects the first record only with
//   wrap; an unknown or empty list falls back (next, previous) or fails (random, current).
// - any other id, a stored playlist: walks the list's `item` elements from the current item (the
//   first item when the current one was removed); records come from the music library.
//
// A successful PickNext, PickPrevious or PickRandom makes the returned song the current item.
// Returned records hold the song's attributes only (no "_" search keys).
//
// Threads: every operation takes the store's lock for its whole run.
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "store/MusicRecord.h"

class TiXmlElement;

namespace quillo::store {

class DocumentStore;
class MusicLibrary;
class PlaylistIndex;
class Playlists;

class QueueSelection {
 public:
  // Answers a non-negative pseudo-random number for one random pick.
  using RandomDraw = std::function<int()>;

  // All must outlive this object. The generator of the random picks is seeded here, once.
  QueueSelection(DocumentStore& store, PlaylistIndex& lists, MusicLibrary& library,
                 Playlists& playlists);

  // Replaces the generator (a pick takes the number modulo the songs it chooses from) and starts
  // a new round; for tests.
  void SetRandomDraw(RandomDraw draw);

  std::optional<MusicRecord> PickNext(bool wrap);
  std::optional<MusicRecord> PickPrevious(bool wrap);
  // Shuffles without repeats: a round draws among the list's songs that have not played in it
  // (the current song counts as played), until every song has; the next round never starts with
  // the song that played last (unless the list holds no other). A round belongs to one list;
  // making another list current starts a new one.
  std::optional<MusicRecord> PickRandom();
  // The current song (changes the current ids only where a stored list lost its item).
  std::optional<MusicRecord> PickCurrent();
  // Makes list_id and music_id current, then answers the song: from the temporary lists (in
  // order of their ids) for a "t_" list, else from the music library.
  std::optional<MusicRecord> SelectListItem(const std::string& list_id,
                                            const std::string& music_id);

 private:
  enum class Step { kNext, kPrevious, kRandom, kCurrent };

  std::optional<MusicRecord> Pick(Step step, bool wrap);
  std::optional<MusicRecord> PickInTemporary(const std::string& list_id, Step step, bool wrap);
  std::optional<MusicRecord> PickInDevice(const std::string& list_id, Step step, bool wrap);
  std::optional<MusicRecord> PickInStored(Step step, bool wrap);
  std::optional<MusicRecord> DefaultListFallback();
  // Makes the id current (written through) and answers the library's record of it.
  std::optional<MusicRecord> LibraryRecordMadeCurrent(const std::string& music_id);
  std::optional<MusicRecord> LibraryRecord(const std::string& music_id) const;
  // The current stored list's item ids in order, into `ids`, and the index of the current item
  // among them (see Playlists::CurrentItemElement); none for a list without items. Read from
  // the list as it is held: stepping through a large list builds none of its elements.
  std::optional<std::size_t> ResolveCurrentItem(std::vector<std::string>& ids);
  // The index, among `ids` (the current list's songs in order), of the next song of the round.
  std::optional<std::size_t> ShuffleIndex(const std::string& list_id,
                                          const std::vector<std::string>& ids);
  // A number in [0, count).
  std::size_t DrawBelow(std::size_t count);

  DocumentStore& store_;
  PlaylistIndex& lists_;
  MusicLibrary& library_;
  Playlists& playlists_;
  RandomDraw draw_;
  std::mt19937 generator_;
  // The shuffle round: its list and the songs that have played in it.
  std::string round_list_;
  std::set<std::string> round_played_;
};

}  // namespace quillo::store
