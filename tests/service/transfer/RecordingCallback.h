#pragma once
// A SafeDownloaderCallback for tests: records every call, asserts that each one runs on the
// window thread, and keeps the answer's bytes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/loop/MainLoop.h"
#include "service/transfer/SafeDownloaderCallback.h"
#include "service/transfer/TransferRecord.h"

namespace quillo::testing {

class RecordingCallback : public service::SafeDownloaderCallback {
 public:
  explicit RecordingCallback(loop::MainLoop& loop) : loop_(loop) {}

  void OnStart(service::TransferRecord& record) override {
    EXPECT_TRUE(loop_.IsWindowThread());
    ++starts;
    data.clear();
    if (on_start) on_start(record);
  }
  void OnData(service::TransferRecord& record) override {
    EXPECT_TRUE(loop_.IsWindowThread());
    ++data_calls;
    data.append(record.chunk());
    if (on_data) on_data(record);
  }
  void OnFinish(service::TransferRecord& record) override {
    EXPECT_TRUE(loop_.IsWindowThread());
    ++finishes;
    status = record.status();
    final_path = record.target_path();
    final_url = record.url();
  }

  int starts = 0;
  int data_calls = 0;
  int finishes = 0;
  std::string data;
  service::TransferStatus status = service::TransferStatus::kStarting;
  std::string final_path;
  std::string final_url;
  std::function<void(service::TransferRecord&)> on_start;
  std::function<void(service::TransferRecord&)> on_data;

 private:
  loop::MainLoop& loop_;
};

// Bytes 0, 1, ..., 250, 0, 1, ... so that misplaced or repeated ranges show.
inline std::string PatternBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

// The service's scrambled form: one ignored byte, the block length, then blocks of a key byte
// and up to block-length bytes XORed with it.
inline std::string ScrambleAnswer(const std::string& plain, unsigned char block_length = 7) {
  std::string out;
  out.push_back('\x01');
  out.push_back(static_cast<char>(block_length));
  unsigned char key = 0x21;
  for (std::size_t i = 0; i < plain.size(); i += block_length) {
    out.push_back(static_cast<char>(key));
    for (std::size_t j = i; j < plain.size() && j < i + block_length; ++j)
      out.push_back(static_cast<char>(plain[j] ^ key));
    key = static_cast<unsigned char>(key * 7 + 3);
  }
  return out;
}

}  // namespace quillo::testing
