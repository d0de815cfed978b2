#pragma once
// Forward declarations of the download subsystem's types, for headers that only pass them on.
namespace quillo::downloads {

struct DownloadEntry;
class DownloadEntries;
class DownloadListener;
class DownloadManager;
class CompanionFetches;
class SongFiling;

}  // namespace quillo::downloads
