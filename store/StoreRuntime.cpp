#include "store/StoreRuntime.h"

#include "store/MirrorOutbox.h"
#include "store/MusicLibrary.h"
#include "store/PlaylistIndex.h"
#include "store/Playlists.h"
#include "store/QueueSelection.h"
#include "store/ServiceAnswers.h"

namespace quillo::store {
namespace {
StoreRuntime* g_runtime = nullptr;
}  // namespace

StoreRuntime* StoreRuntime::Instance() { return g_runtime; }

StoreRuntime::StoreRuntime(std::string data_folder)
    : store_(std::make_unique<DocumentStore>(std::move(data_folder))) {
  // Sections are added here, in the order their opening steps must run.
  playlist_index_ = std::make_unique<PlaylistIndex>(*store_);
  outbox_ = std::make_unique<MirrorOutbox>(*store_);
  library_ = std::make_unique<MusicLibrary>(*store_, *playlist_index_);
  playlists_ = std::make_unique<Playlists>(*store_, *playlist_index_, *library_);
  answers_ = std::make_unique<ServiceAnswers>(*store_, *playlist_index_, *library_, *playlists_,
                                              outbox_.get());
  queue_ = std::make_unique<QueueSelection>(*store_, *playlist_index_, *library_, *playlists_);
  store_->AddSection(*playlist_index_);
  store_->AddSection(*library_);  // song cache and start-up clean-up
  store_->AddSection(*playlists_);  // recently played list, from the cache
}

StoreRuntime::~StoreRuntime() {
  if (g_runtime == this) g_runtime = nullptr;
  if (DocumentStore::Instance() == store_.get()) DocumentStore::SetInstance(nullptr);
}

bool StoreRuntime::Open(bool start_saver) {
  DocumentStore::SetInstance(store_.get());
  g_runtime = this;
  return store_->Open(start_saver);
}

bool StoreRuntime::Close() { return store_->Close(); }

}  // namespace quillo::store
