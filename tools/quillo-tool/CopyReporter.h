#pragma once
// Runs a batch of phone copies to the end for a command: the copy queue's progress goes to the
// error stream as the panel would show it ("正在复制(i/n): name", "复制失败: name"), and the
// tasks that were copied are kept for the command to file.
//
// Run blocks the calling thread until the batch is done; the reports arrive on the queue's
// worker and are serialised here.
#include <mutex>
#include <ostream>
#include <vector>

#include "device/DeviceCopyQueue.h"

namespace quillo::tool {

class CopyReporter : public device::DeviceCopyListener {
 public:
  explicit CopyReporter(std::ostream& err) : err_(err) {}

  // Copies the tasks and waits until the queue ran empty.
  void Run(std::vector<device::CopyTask> tasks);

  void CopyStarted() override {}
  void FileStarting(const device::CopyTask& task, int index, int total) override;
  void FileCopied(const device::CopyTask& task) override;
  void FileFailed(const device::CopyTask& task) override;
  void QueueEmpty() override {}

  // Read after Run.
  std::vector<device::CopyTask> copied;
  int failed = 0;

 private:
  std::mutex mutex_;
  std::ostream& err_;
};

}  // namespace quillo::tool
