#pragma once
// Everything a request handler may use. Owned by main(); outlives the servers. The members
// are thread-safe (the catalogue is read-only, the others lock inside).
#include <mutex>
#include <string>

#include "service-stub/Catalogue.h"
#include "service-stub/FaultRules.h"
#include "service-stub/RequestLog.h"
#include "service-stub/SongRenderer.h"
#include "service-stub/UserStore.h"

namespace quillo::stub {

// The update package that "api/checkversion.php" hands out; changed by the test controls.
class UpdatePackage {
 public:
  void Set(std::string path, std::string version) {
    std::lock_guard lock(mutex_);
    path_ = std::move(path);
    version_ = std::move(version);
  }
  std::pair<std::string, std::string> Get() {
    std::lock_guard lock(mutex_);
    return {path_, version_};
  }

 private:
  std::mutex mutex_;
  std::string path_;     // empty: no package
  std::string version_;  // the package's version; asking with it gets the short answer
};

struct ServiceContext {
  const Catalogue& catalogue;
  SongRenderer& songs;  // the audio files, rendered on first fetch
  UserStore& users;
  FaultRules& faults;
  RequestLog& log;
  UpdatePackage& update;
  std::string catalogue_folder;  // ends with '/'
  std::string uploads_folder;    // ends with '/'
  std::string base_url;          // "http://127.0.0.1:PORT/", known once the port is bound
  std::string upload_url;        // the upload host's "http://127.0.0.1:PORT/", likewise
};

}  // namespace quillo::stub
