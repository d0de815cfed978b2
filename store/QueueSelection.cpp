#include "store/QueueSelection.h"

#include <tinyxml.h>

#include <algorithm>

#include "platform/text/TextUtil.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/PlaylistIndex.h"
#include "store/Playlists.h"

namespace quillo::store {
namespace {

// The song's own attributes: the library's search keys ("_name", …) stay inside the store.
MusicRecord WithoutSearchKeys(MusicRecord record) {
  for (auto it = record.begin(); it != record.end();) {
    it = !it->first.empty() && it->first[0] == '_' ? record.erase(it) : std::next(it);
  }
  return record;
}

// The index of the record a step selects in an ordered list, by the current item's id.
// missing_needs_wrap: an item that is not in the list selects the first record only with wrap.
template <typename Records>
std::optional<std::size_t> IndexInList(const Records& records, const std::string& current,
                                       bool next, bool wrap, bool missing_needs_wrap) {
  const std::size_t count = records.size();
  if (count == 0) return std::nullopt;
  std::size_t at = 0;
  while (at < count && IdOf(records[at]) != current) ++at;
  if (at == count) {
    if (missing_needs_wrap && !wrap) return std::nullopt;
    return 0;
  }
  if (next) {
    if (at + 1 < count) return at + 1;
    return wrap ? std::optional<std::size_t>(0) : std::nullopt;
  }
  if (at > 0) return at - 1;
  return wrap ? std::optional<std::size_t>(count - 1) : std::nullopt;
}

template <typename Records>
std::optional<std::size_t> CurrentIndex(const Records& records, const std::string& current) {
  for (std::size_t at = 0; at < records.size(); ++at) {
    if (IdOf(records[at]) == current) return at;
  }
  if (records.empty()) return std::nullopt;
  return 0;
}

}  // namespace

QueueSelection::QueueSelection(DocumentStore& store, PlaylistIndex& lists, MusicLibrary& library,
                               Playlists& playlists)
    : store_(store),
      lists_(lists),
      library_(library),
      playlists_(playlists),
      generator_(std::random_device{}()) {}

void QueueSelection::SetRandomDraw(RandomDraw draw) {
  auto lock = store_.Lock();
  draw_ = std::move(draw);
  round_list_.clear();
  round_played_.clear();
}

std::size_t QueueSelection::DrawBelow(std::size_t count) {
  if (draw_) {
    const int number = draw_();
    return static_cast<std::size_t>(number < 0 ? -(number + 1) : number) % count;
  }
  return std::uniform_int_distribution<std::size_t>(0, count - 1)(generator_);
}

std::optional<std::size_t> QueueSelection::ShuffleIndex(const std::string& list_id,
                                                        const std::vector<std::string>& ids) {
  if (ids.empty()) return std::nullopt;
  if (list_id != round_list_) {
    round_list_ = list_id;
    round_played_.clear();
  }
  const std::string current = store_.CurrentItem();
  const bool current_listed = std::find(ids.begin(), ids.end(), current) != ids.end();
  // The song playing now has played, however it was chosen.
  if (current_listed) round_played_.insert(current);
  std::vector<std::size_t> candidates;
  for (std::size_t at = 0; at < ids.size(); ++at) {
    if (!round_played_.count(ids[at])) candidates.push_back(at);
  }
  if (candidates.empty()) {
    // Every song has played: a new round, which does not open with the song just heard.
    round_played_.clear();
    for (std::size_t at = 0; at < ids.size(); ++at) {
      if (ids[at] != current) candidates.push_back(at);
    }
    if (candidates.empty()) candidates.push_back(0);
  }
  const std::size_t picked = candidates[DrawBelow(candidates.size())];
  round_played_.insert(ids[picked]);
  return picked;
}

std::optional<MusicRecord> QueueSelection::PickNext(bool wrap) {
  return Pick(Step::kNext, wrap);
}
std::optional<MusicRecord> QueueSelection::PickPrevious(bool wrap) {
  return Pick(Step::kPrevious, wrap);
}
std::optional<MusicRecord> QueueSelection::PickRandom() {
  return Pick(Step::kRandom, false);
}
std::optional<MusicRecord> QueueSelection::PickCurrent() {
  return Pick(Step::kCurrent, false);
}

std::optional<MusicRecord> QueueSelection::Pick(Step step, bool wrap) {
  auto lock = store_.Lock();
  const std::string list_id = store_.CurrentList();
  if (text::StartsWith(list_id, "t_")) return PickInTemporary(list_id, step, wrap);
  if (text::StartsWith(list_id, "d_")) return PickInDevice(list_id, step, wrap);
  return PickInStored(step, wrap);
}

std::optional<MusicRecord> QueueSelection::PickInTemporary(const std::string& list_id, Step step,
                                                           bool wrap) {
  if (!playlists_.PlaylistExists(list_id)) {
    if (step == Step::kNext || step == Step::kPrevious) return DefaultListFallback();
    return std::nullopt;
  }
  const std::vector<MusicRecordPtr> records = playlists_.ListRecords(list_id);
  std::optional<std::size_t> index;
  switch (step) {
    case Step::kNext:
    case Step::kPrevious:
      index = IndexInList(records, store_.CurrentItem(), step == Step::kNext, wrap, false);
      break;
    case Step::kRandom: {
      std::vector<std::string> ids;
      for (const MusicRecordPtr& record : records) ids.push_back(IdOf(*record));
      index = ShuffleIndex(list_id, ids);
      break;
    }
    case Step::kCurrent:
      index = CurrentIndex(records, store_.CurrentItem());
      break;
  }
  if (!index) return std::nullopt;
  MusicRecord record = WithoutSearchKeys(library_.CompleteFileNames(*records[*index]));
  if (step != Step::kCurrent) playlists_.SetCurrentItem(IdOf(record));
  return record;
}

std::optional<MusicRecord> QueueSelection::PickInDevice(const std::string& list_id, Step step,
                                                        bool wrap) {
  DeviceListSource* devices = library_.device_source();
  // The source answers an unknown phone or list with no records, like an empty list.
  std::vector<MusicRecord> records;
  if (devices != nullptr) records = devices->DeviceListRecords(list_id);
  if (records.empty()) {
    if (step == Step::kNext || step == Step::kPrevious) return DefaultListFallback();
    return std::nullopt;
  }
  std::optional<std::size_t> index;
  switch (step) {
    case Step::kNext:
    case Step::kPrevious:
      index = IndexInList(records, store_.CurrentItem(), step == Step::kNext, wrap, true);
      break;
    case Step::kRandom: {
      std::vector<std::string> ids;
      for (const MusicRecord& record : records) ids.push_back(IdOf(record));
      index = ShuffleIndex(list_id, ids);
      break;
    }
    case Step::kCurrent:
      index = CurrentIndex(records, store_.CurrentItem());
      break;
  }
  if (!index) return std::nullopt;
  MusicRecord record = WithoutSearchKeys(std::move(records[*index]));
  if (step != Step::kCurrent) playlists_.SetCurrentItem(IdOf(record));
  return record;
}

std::optional<std::size_t> QueueSelection::ResolveCurrentItem(std::vector<std::string>& ids) {
  const TiXmlElement* list = lists_.PlaylistToRead(store_.CurrentList());
  if (list == nullptr) {
    playlists_.SetCurrentList("");
    list = lists_.PlaylistElement("", true);
    if (list == nullptr) return std::nullopt;
  }
  ids.clear();
  lists_.ForEachItemId(list, [&](const std::string& id) {
    ids.push_back(id);
    return true;
  });
  const auto current = std::find(ids.begin(), ids.end(), store_.CurrentItem());
  if (current != ids.end()) return static_cast<std::size_t>(current - ids.begin());
  playlists_.SetCurrentItem(ids.empty() ? std::string() : ids.front());
  if (ids.empty()) return std::nullopt;
  return 0;
}

std::optional<MusicRecord> QueueSelection::PickInStored(Step step, bool wrap) {
  std::vector<std::string> ids;
  const std::optional<std::size_t> at = ResolveCurrentItem(ids);
  if (!at) {
    if (step == Step::kNext || step == Step::kPrevious) return DefaultListFallback();
    return std::nullopt;
  }
  std::optional<std::size_t> reached;
  switch (step) {
    case Step::kNext:
      if (*at + 1 < ids.size()) {
        reached = *at + 1;
      } else if (wrap) {
        reached = 0;
      }
      break;
    case Step::kPrevious:
      if (*at > 0) {
        reached = *at - 1;
      } else if (wrap) {
        reached = ids.size() - 1;
      }
      break;
    case Step::kRandom:
      reached = ShuffleIndex(store_.CurrentList(), ids);
      break;
    case Step::kCurrent:
      return LibraryRecord(store_.CurrentItem());
  }
  if (!reached) return std::nullopt;
  return LibraryRecordMadeCurrent(ids[*reached]);
}

std::optional<MusicRecord> QueueSelection::DefaultListFallback() {
  playlists_.SetCurrentList("");
  const TiXmlElement* list = lists_.PlaylistToRead("");
  if (list == nullptr) list = lists_.PlaylistElement("", true);
  const std::optional<MusicRecord> first = lists_.FirstItemAttributes(list);
  if (!first) return std::nullopt;
  return LibraryRecordMadeCurrent(IdOf(*first));
}

std::optional<MusicRecord> QueueSelection::LibraryRecordMadeCurrent(const std::string& music_id) {
  playlists_.SetCurrentItem(music_id);
  return LibraryRecord(music_id);
}

std::optional<MusicRecord> QueueSelection::LibraryRecord(const std::string& music_id) const {
  if (music_id.empty()) return std::nullopt;
  std::optional<MusicRecord> record = library_.FindMusic(music_id);
  if (!record) return std::nullopt;
  return WithoutSearchKeys(std::move(*record));
}

std::optional<MusicRecord> QueueSelection::SelectListItem(const std::string& list_id,
                                                          const std::string& music_id) {
  auto lock = store_.Lock();
  playlists_.SetCurrentList(list_id);
  playlists_.SetCurrentItem(music_id);
  if (!text::StartsWith(list_id, "t_")) return LibraryRecord(music_id);
  MusicRecordPtr found = playlists_.FindInTemporaryLists(music_id);
  if (found == nullptr) return std::nullopt;
  return WithoutSearchKeys(library_.CompleteFileNames(*found));
}

}  // namespace quillo::store
