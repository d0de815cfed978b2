#pragma once
// The process's document store together with every section of it, wired in the order opening
// needs. The program and quillo-tool both open their data folder through this.
#include <memory>
#include <string>

#include "store/DocumentStore.h"

namespace quillo::store {

class MirrorOutbox;
class MusicLibrary;
class PlaylistIndex;
class Playlists;
class QueueSelection;
class ServiceAnswers;

class StoreRuntime {
 public:
  explicit StoreRuntime(std::string data_folder);
  ~StoreRuntime();
  StoreRuntime(const StoreRuntime&) = delete;
  StoreRuntime& operator=(const StoreRuntime&) = delete;

  DocumentStore& store() { return *store_; }
  // The sections, owned here and alive as long as the runtime.
  MusicLibrary& library() { return *library_; }
  Playlists& playlists() { return *playlists_; }
  ServiceAnswers& answers() { return *answers_; }
  QueueSelection& queue() { return *queue_; }
  // The mirror requests not yet delivered (see MirrorOutbox.h).
  MirrorOutbox& outbox() { return *outbox_; }

  // The runtime that was opened last (the process-wide one), or nullptr.
  static StoreRuntime* Instance();

  // DocumentStore::Open with every section registered; also makes it the process-wide store.
  bool Open(bool start_saver = true);
  bool Close();

 private:
  std::unique_ptr<DocumentStore> store_;
  std::unique_ptr<PlaylistIndex> playlist_index_;
  std::unique_ptr<MirrorOutbox> outbox_;
  std::unique_ptr<MusicLibrary> library_;
  std::unique_ptr<Playlists> playlists_;
  std::unique_ptr<ServiceAnswers> answers_;
  std::unique_ptr<QueueSelection> queue_;
};

}  // namespace quillo::store
