#pragma once
// The run of one upload, from asking the host for an upload id to the end request.
//
//  1. Ask for an upload id; on an answer without one ask again, up to 5 more times.
//  2. Enter the job in the map under its id.
//  3. Read the whole file into memory (size first, then the bytes; a short read ends the run).
//  4. From offset 0, send the rest of the file in chunks of at most 1024000 bytes, each with the
//     offset it belongs at; the host's byte count becomes the next offset. An answer that does
//     not move the offset forward costs one of the attempts left over from step 1; when none is
//     left the sending stops.
//  5. Free the file, send the end request (always, once there is an id), remove the job from
//     the map.
//
// The host's byte count is outside input: a count beyond the file size, a negative count or one
// that overflows is not believed (the same chunk is sent again and the answer costs an
// attempt), and a count that goes backwards is followed (the host lost data) but also costs an
// attempt, so a host that never lets the offset settle cannot keep the loop running forever.
//
// Runs on the calling thread (an upload worker); blocks for the whole upload.
#include <atomic>
#include <cstddef>

#include "service/upload/UploadHost.h"
#include "service/upload/UploadJob.h"
#include "service/upload/UploadMap.h"

namespace quillo::service {

inline constexpr int kUploadAttempts = 5;
inline constexpr std::size_t kUploadChunkBytes = 1024000;

// `stop` set from another thread ends the run before its next request (the end request is still
// sent; a host whose session shares the flag refuses it at once).
UploadOutcome RunUpload(UploadJob job, UploadHost& host, UploadMap& map,
                        const std::atomic<bool>& stop);

}  // namespace quillo::service
