#pragma once
// A connected (or not) phone with lists in memory; every operation is noted in the shared event
// log.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "service/sync/PhoneLists.h"

namespace quillo::testing {

class FakePhoneLists : public service::PhoneLists {
 public:
  struct List {
    std::string id, name;
    std::vector<store::MusicRecord> songs;
  };

  explicit FakePhoneLists(std::vector<std::string>& log) : log_(log) {
    lists.push_back({"d_p1_", "[全部]", {}});
  }

  bool IsConnected() override { return connected; }
  std::vector<store::PlaylistEntry> Lists() override {
    std::vector<store::PlaylistEntry> entries;
    if (!connected) return entries;
    for (const List& list : lists) entries.push_back({list.name, list.id});
    return entries;
  }
  std::string CreateList(const std::string& id_part, const std::string& name) override {
    if (!connected) return {};
    lists.push_back({"d_p1_" + id_part, name, {}});
    log_.push_back("phone create " + name);
    return lists.back().id;
  }
  bool RenameList(const std::string& list_id, const std::string& name) override {
    List* list = Find(list_id);
    log_.push_back("phone rename " + list_id + " " + name);
    if (list == nullptr || list == &lists.front()) return false;
    list->name = name;
    return true;
  }
  bool DeleteList(const std::string& list_id) override {
    log_.push_back("phone delete list " + list_id);
    if (list_id == lists.front().id) return false;
    return std::erase_if(lists, [&](const List& list) { return list.id == list_id; }) != 0;
  }
  bool AddSongs(const std::string& list_id,
                const std::vector<store::MusicRecord>& records) override {
    List* list = Find(list_id);
    if (list == nullptr) return false;
    bool added = false;
    for (const store::MusicRecord& record : records) {
      added |= Append(lists.front(), record);
      if (list != &lists.front()) added |= Append(*list, record);
    }
    log_.push_back("phone add " + list_id);
    return added;
  }
  bool RemoveSong(const std::string& list_id, const std::string& music_id) override {
    log_.push_back("phone remove " + music_id);
    List* list = Find(list_id);
    return list != nullptr && list != &lists.front() && Erase(*list, music_id);
  }
  bool DeleteSong(const std::string&, const std::string& music_id) override {
    log_.push_back("phone delete " + music_id);
    bool found = false;
    for (List& list : lists) found |= Erase(list, music_id);
    return found;
  }
  void ClearList(const std::string& list_id) override {
    log_.push_back("phone clear " + list_id);
    if (List* list = Find(list_id)) list->songs.clear();
  }
  void StartUpdate() override {
    ++updates;
    log_.push_back("phone update");
  }

  bool CanSortList(const std::string& list_id) override {
    return connected && Find(list_id) != nullptr && list_id != lists.front().id;
  }
  bool SortList(const std::string& list_id, const std::string& attribute) override {
    if (!CanSortList(list_id)) return false;
    log_.push_back("phone sort " + list_id + " " + attribute);
    sort_columns[list_id] = attribute;
    return true;
  }
  std::string ListSortColumn(const std::string& list_id) override {
    auto it = sort_columns.find(list_id);
    return it == sort_columns.end() ? std::string() : it->second;
  }
  bool CopyFromPhone(const std::string& target_list_id,
                     const std::vector<store::MusicRecord>& records) override {
    std::string entry = "phone fetch to '" + target_list_id + "'";
    for (const store::MusicRecord& record : records) entry += " " + store::IdOf(record);
    log_.push_back(entry);
    return connected && !records.empty();
  }

  List* Find(const std::string& list_id) {
    for (List& list : lists) {
      if (list.id == list_id) return &list;
    }
    return nullptr;
  }

  bool connected = false;
  std::vector<List> lists;
  int updates = 0;
  std::map<std::string, std::string> sort_columns;

 private:
  static bool Append(List& list, const store::MusicRecord& record) {
    for (const store::MusicRecord& song : list.songs) {
      if (store::IdOf(song) == store::IdOf(record)) return false;
    }
    list.songs.push_back(record);
    return true;
  }
  static bool Erase(List& list, const std::string& music_id) {
    return std::erase_if(list.songs, [&](const store::MusicRecord& song) {
             return store::IdOf(song) == music_id;
           }) != 0;
  }

  std::vector<std::string>& log_;
};

}  // namespace quillo::testing
