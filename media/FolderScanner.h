#pragma once
// Walks a folder tree on a thread of its own and reports every file of at least kMinFileBytes
// to its listeners (the import adds them through the store). The store's music folder and the
// program's folder are not walked; hidden folders (names starting with '.') are not entered;
// a folder reached again through a symbolic link is not walked twice, so a link loop ends.
//
// Start and Stop are called from one thread (the window thread); listeners are called on the
// scanner's thread and must outlive the walk.
#include <atomic>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "media/ImportListener.h"

namespace quillo::media {

class FolderScanner {
 public:
  static constexpr std::uint64_t kMinFileBytes = 512000;

  // music_folder and program_folder are excluded from the walk (either may be empty).
  FolderScanner(std::string music_folder, std::string program_folder);
  // Stops a running walk.
  ~FolderScanner();
  FolderScanner(const FolderScanner&) = delete;
  FolderScanner& operator=(const FolderScanner&) = delete;

  void AddListener(ImportListener* listener);

  // Starts the walk of `root` on a new thread unless one is running.
  void Start(const std::string& root);
  // Asks the walk to end and waits until it has; the file being reported is finished first.
  void Stop();
  // Waits until the walk has ended by itself.
  void Wait();
  bool running() const { return running_.load(); }
  bool cancelled() const { return cancel_.load(); }

 private:
  void Run(std::string root);
  void Walk(const std::string& folder);
  bool IsExcluded(const std::string& canonical_folder) const;

  std::string music_folder_;
  std::string program_folder_;
  std::vector<ImportListener*> listeners_;
  std::atomic<bool> running_{false};
  std::atomic<bool> cancel_{false};
  std::thread thread_;
  // Canonical paths of the folders walked (touched by the scanner thread only).
  std::unordered_set<std::string> visited_;
};

}  // namespace quillo::media
