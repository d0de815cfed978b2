#pragma once
// The process's document store together with every section of it, wired in the order opening
// needs. The program and quillo-tool both open their data folder through this.
#include <memory>
#include <string>

#include "store/DocumentStore.h"

namespace quillo::store {

class StoreRuntime {
 public:
  explicit StoreRuntime(std::string data_folder);
  ~StoreRuntime();
  StoreRuntime(const StoreRuntime&) = delete;
  StoreRuntime& operator=(const StoreRuntime&) = delete;

  DocumentStore& store() { return *store_; }

  // DocumentStore::Open with every section registered; also makes it the process-wide store.
  bool Open(bool start_saver = true);
  bool Close();

 private:
  std::unique_ptr<DocumentStore> store_;
};

}  // namespace quillo::store
