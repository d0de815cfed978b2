#include "store/StoreRuntime.h"

namespace quillo::store {

StoreRuntime::StoreRuntime(std::string data_folder)
    : store_(std::make_unique<DocumentStore>(std::move(data_folder))) {
  // Sections are added here, in the order their opening steps must run.
}

StoreRuntime::~StoreRuntime() {
  if (DocumentStore::Instance() == store_.get()) DocumentStore::SetInstance(nullptr);
}

bool StoreRuntime::Open(bool start_saver) {
  DocumentStore::SetInstance(store_.get());
  return store_->Open(start_saver);
}

bool StoreRuntime::Close() { return store_->Close(); }

}  // namespace quillo::store
