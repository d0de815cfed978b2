#pragma once
// How a transfer of the safe downloader reports back. Every operation runs on the window thread,
// in the order the transfer's worker made its reports: OnStart, then OnData per chunk, then
// OnFinish (OnStart again when a mirror starts over). The worker waits only for OnStart (and, in
// lockstep, for each OnData); while OnData and OnFinish run it may be further on. The record stays
// valid for the call only, and its view (sizes, status, paths) is the one of the chunk or outcome
// being reported.
namespace quillo::service {

class TransferRecord;

class SafeDownloaderCallback {
 public:
  virtual ~SafeDownloaderCallback() = default;
  // The first answer with data was accepted; called before the target file is opened, while the
  // worker waits (cancelling here means no byte of the body is written). Implementations reset
  // their buffers here (a transfer may start over on a mirror).
  virtual void OnStart(TransferRecord& /*record*/) {}
  // A chunk was written to the target (or, for a request, received): record.chunk() holds it
  // and record.received_size() already counts it. Its bytes are in the file already, where
  // another handle reads them (later chunks may be too, unless the download runs in lockstep).
  virtual void OnData(TransferRecord& /*record*/) {}
  // Once, when the transfer ends, unless it was cancelled; record.status() tells the outcome
  // (kFinished is success). The callback may be released here; the downloader does not touch it
  // afterwards.
  virtual void OnFinish(TransferRecord& /*record*/) {}
};

}  // namespace quillo::service
