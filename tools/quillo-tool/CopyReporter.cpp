#include "tools/quillo-tool/CopyReporter.h"

#include "tools/quillo-tool/TerminalText.h"

namespace quillo::tool {
namespace {

std::string NameOf(const device::CopyTask& task) {
  auto it = task.record.find("name");
  return it == task.record.end() ? std::string() : it->second;
}

}  // namespace

void CopyReporter::Run(std::vector<device::CopyTask> tasks) {
  device::DeviceCopyQueue queue;
  queue.SetListener(this);
  queue.Enqueue(std::move(tasks));
  queue.WaitUntilIdle();
  queue.SetListener(nullptr);
}

void CopyReporter::FileStarting(const device::CopyTask& task, int index, int total) {
  std::lock_guard lock(mutex_);
  err_ << "正在复制(" << index << "/" << total << "): " << Shown(NameOf(task), fs::StandardStream::kError)
       << "\n";
}

void CopyReporter::FileCopied(const device::CopyTask& task) {
  std::lock_guard lock(mutex_);
  copied.push_back(task);
}

void CopyReporter::FileFailed(const device::CopyTask& task) {
  std::lock_guard lock(mutex_);
  err_ << "复制失败: " << Shown(NameOf(task), fs::StandardStream::kError) << "\n";
  ++failed;
}

}  // namespace quillo::tool
