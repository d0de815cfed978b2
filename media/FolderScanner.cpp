#include "media/FolderScanner.h"

#include <algorithm>
#include <filesystem>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"

namespace quillo::media {
namespace {

namespace stdfs = std::filesystem;

// The folder's real path with a final '/', or empty when it cannot be resolved.
std::string CanonicalFolder(const std::string& folder) {
  std::error_code error;
  stdfs::path real = stdfs::canonical(stdfs::path(folder), error);
  if (error) return {};
  return fs::WithTrailingSlash(real.string());
}

// The exclusion form of a configured folder: trimmed, resolved when it exists, final '/'.
std::string ExclusionForm(const std::string& folder) {
  std::string trimmed = text::Trim(folder);
  if (trimmed.empty()) return {};
  std::string canonical = CanonicalFolder(trimmed);
  return canonical.empty() ? fs::WithTrailingSlash(trimmed) : canonical;
}

}  // namespace

FolderScanner::FolderScanner(std::string music_folder, std::string program_folder)
    : music_folder_(ExclusionForm(music_folder)), program_folder_(ExclusionForm(program_folder)) {}

FolderScanner::~FolderScanner() { Stop(); }

void FolderScanner::AddListener(ImportListener* listener) { listeners_.push_back(listener); }

void FolderScanner::Start(const std::string& root) {
  if (running_.load()) return;
  if (thread_.joinable()) thread_.join();
  cancel_ = false;
  running_ = true;
  thread_ = std::thread(&FolderScanner::Run, this, root);
}

void FolderScanner::Stop() {
  cancel_ = true;
  if (thread_.joinable()) thread_.join();
}

void FolderScanner::Wait() {
  if (thread_.joinable()) thread_.join();
}

void FolderScanner::Run(std::string root) {
  visited_.clear();
  for (ImportListener* listener : listeners_) listener->Started();
  Walk(fs::WithTrailingSlash(root));
  for (ImportListener* listener : listeners_) listener->Finished();
  running_ = false;
}

bool FolderScanner::IsExcluded(const std::string& canonical_folder) const {
  for (const std::string* excluded : {&music_folder_, &program_folder_}) {
    if (!excluded->empty() && text::StartsWith(canonical_folder, *excluded)) return true;
  }
  return false;
}

void FolderScanner::Walk(const std::string& folder) {
  if (cancel_) return;
  std::string canonical = CanonicalFolder(folder);
  if (canonical.empty() || IsExcluded(canonical)) return;
  // A folder reached a second time (through a link) is not walked again.
  if (!visited_.insert(canonical).second) return;

  for (ImportListener* listener : listeners_) listener->Searching(folder);
  std::vector<std::string> names = fs::ListFolder(folder);
  std::sort(names.begin(), names.end());
  std::vector<std::string> subfolders;
  for (const std::string& name : names) {
    if (cancel_) break;
    std::string path = folder + name;
    std::error_code error;
    stdfs::file_status status = stdfs::status(path, error);  // links followed
    if (error) continue;
    if (stdfs::is_directory(status)) {
      if (name.front() != '.') subfolders.push_back(path + "/");
      continue;
    }
    if (!stdfs::is_regular_file(status)) continue;
    std::uintmax_t size = stdfs::file_size(path, error);
    if (error || size < kMinFileBytes) continue;
    for (ImportListener* listener : listeners_) listener->FileFound(path);
  }
  for (ImportListener* listener : listeners_) listener->FolderDone(folder);
  for (const std::string& subfolder : subfolders) {
    if (cancel_) return;
    Walk(subfolder);
  }
}

}  // namespace quillo::media
