// The service's answer documents as plain text: list documents (an odd first byte) and login
// answers, taken into a store as ServiceAnswers does at login. A refused login answer leaves
// the store as it was.
//
// The store lives in a temporary data folder and is made anew every few hundred inputs, so that
// what the answers add does not pile up; nothing it holds names a song file, so nothing outside
// that folder is touched. Before a store goes it is closed and opened again: the songs the
// answers left must come back from the data file as they were, in the same order.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "platform/text/TextCodec.h"
#include "store/DocumentStore.h"
#include "store/ListDocument.h"
#include "store/MusicLibrary.h"
#include "store/ServiceAnswers.h"
#include "store/StoreRuntime.h"

namespace {

// What the answers add (users, their lists) makes each later answer slower to merge; a fresh
// store every few hundred inputs keeps the merge as small as the program's own.
constexpr int kInputsPerStore = 200;

class FuzzStore {
 public:
  FuzzStore() {
    // A memory file system where there is one: the store syncs every file it writes.
    const char* folder = std::getenv("TMPDIR");
    std::error_code error;
    const bool shm = std::filesystem::is_directory("/dev/shm", error);
    folder_ = std::filesystem::path(folder && *folder ? folder : shm ? "/dev/shm" : "/tmp") /
              ("quillo-fuzz-store-" + std::to_string(std::random_device{}()));
  }
  ~FuzzStore() { Shut(); }

  quillo::store::StoreRuntime& Runtime() {
    if (runtime_ && ++uses_ < kInputsPerStore) return *runtime_;
    CheckReopenedSongs();
    Shut();
    std::filesystem::create_directories(folder_);
    runtime_ = std::make_unique<quillo::store::StoreRuntime>(folder_.string() + "/");
    FUZZ_CHECK(runtime_->Open(/*start_saver=*/false));
    uses_ = 0;
    return *runtime_;
  }

 private:
  // Opening resets an unfinished download's status and drops a stored song's preview name; the
  // rest of every record must survive the file.
  std::vector<quillo::store::MusicRecord> Songs() {
    std::vector<quillo::store::MusicRecord> songs;
    for (const auto& shared : runtime_->library().AllRecords()) {
      quillo::store::MusicRecord record = *shared;
      record.erase("status");
      record.erase("tryout");
      songs.push_back(std::move(record));
    }
    return songs;
  }

  void CheckReopenedSongs() {
    if (!runtime_) return;
    const std::vector<quillo::store::MusicRecord> before = Songs();
    FUZZ_CHECK(runtime_->Close());
    runtime_ = std::make_unique<quillo::store::StoreRuntime>(folder_.string() + "/");
    FUZZ_CHECK(runtime_->Open(/*start_saver=*/false));
    FUZZ_CHECK(Songs() == before);
  }

  void Shut() {
    if (!runtime_) return;
    runtime_->Close();
    runtime_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::filesystem::path folder_;
  std::unique_ptr<quillo::store::StoreRuntime> runtime_;
  int uses_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FuzzStore store;
  quillo::fuzz::FuzzInput input(data, size);
  const std::uint8_t mode = input.Byte();
  const std::string text = input.Rest();

  if (mode & 1) {
    if (const auto list = quillo::store::ParseListDocument(text)) {
      FUZZ_CHECK(quillo::text::IsValidUtf8(list->list_id) &&
                 quillo::text::IsValidUtf8(list->list_name));
      for (const auto& record : list->records) {
        for (const auto& [name, value] : record) FUZZ_CHECK(quillo::text::IsValidUtf8(value));
      }
    }
    return 0;
  }

  quillo::store::StoreRuntime& runtime = store.Runtime();
  // Printing the document twice costs more than the answer; some inputs are spared it.
  const bool compare = (mode & 2) != 0;
  const std::string before = compare ? runtime.store().PrintDocument() : std::string();
  const quillo::store::LoginAnswerResult result = runtime.answers().TakeLoginAnswer(text);
  FUZZ_CHECK(quillo::text::IsValidUtf8(result.error));
  if (!result.ok) {
    if (compare) FUZZ_CHECK(runtime.store().PrintDocument() == before);
  } else {
    FUZZ_CHECK(result.error.empty());
  }
  return 0;
}
