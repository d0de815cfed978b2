#pragma once
// How a transfer of the safe downloader reports back. Every operation runs on the window thread
// while the transfer's worker waits; the record stays valid for the call only.
namespace quillo::service {

class TransferRecord;

class SafeDownloaderCallback {
 public:
  virtual ~SafeDownloaderCallback() = default;
  // The first answer with data was accepted; called before the target file is opened.
  // Implementations reset their buffers here (a transfer may start over on a mirror).
  virtual void OnStart(TransferRecord& /*record*/) {}
  // A chunk was written to the target (or, for a request, received): record.chunk() holds it
  // and record.received_size() already counts it.
  virtual void OnData(TransferRecord& /*record*/) {}
  // Once, when the transfer ends, unless it was cancelled; record.status() tells the outcome
  // (kFinished is success). The callback may be released here; the downloader does not touch it
  // afterwards.
  virtual void OnFinish(TransferRecord& /*record*/) {}
};

}  // namespace quillo::service
