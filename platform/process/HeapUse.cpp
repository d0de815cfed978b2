#include "platform/process/HeapUse.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>

namespace quillo::process {
namespace {

// The size from which a block is mapped on its own (glibc's starting value, made fixed: left
// dynamic, the first large free raises it to that block's size and later large blocks stay
// resident in the heap).
constexpr int kMapThresholdBytes = 128 * 1024;
constexpr int kTrimThresholdBytes = 256 * 1024;
// During the start: glibc's largest mapping threshold, and no trimming short of a large top.
constexpr int kStartMapThresholdBytes = 32 * 1024 * 1024;
constexpr int kStartTrimThresholdBytes = 64 * 1024 * 1024;
constexpr int kArenas = 2;

bool UserTuned(const char* glibc_tunable, const char* variable) {
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  if (tunables != nullptr && std::strstr(tunables, glibc_tunable) != nullptr) return true;
  return std::getenv(variable) != nullptr;
}

void SetThresholds(int map_bytes, int trim_bytes) {
  if (!UserTuned("glibc.malloc.mmap_threshold", "MALLOC_MMAP_THRESHOLD_")) {
    mallopt(M_MMAP_THRESHOLD, map_bytes);
  }
  if (!UserTuned("glibc.malloc.trim_threshold", "MALLOC_TRIM_THRESHOLD_")) {
    mallopt(M_TRIM_THRESHOLD, trim_bytes);
  }
}

}  // namespace

void TuneHeapForStart() {
  SetThresholds(kStartMapThresholdBytes, kStartTrimThresholdBytes);
  if (!UserTuned("glibc.malloc.arena_max", "MALLOC_ARENA_MAX")) mallopt(M_ARENA_MAX, kArenas);
}

void TuneHeapForLongRun() { SetThresholds(kMapThresholdBytes, kTrimThresholdBytes); }

void ReleaseFreeHeap() {
  malloc_trim(0);
}

}  // namespace quillo::process
