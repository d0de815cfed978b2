#pragma once
// A fixed-size text buffer for writing the crash record inside a signal handler: no allocation,
// no locale, no library call that is not safe there. Text that does not fit is cut off.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillo::crash {

class CrashRecordBuffer {
 public:
  static constexpr std::size_t kCapacity = 1024;

  void Append(std::string_view text);
  void AppendDecimal(long long value);
  // "0x" followed by 16 lower-case hexadecimal digits.
  void AppendHex(std::uintptr_t value);

  const char* data() const { return text_; }
  std::size_t size() const { return size_; }
  std::string_view view() const { return {text_, size_}; }

 private:
  char text_[kCapacity];
  std::size_t size_ = 0;
};

// "SIGSEGV" and the like for the fatal signals the handler catches, else "signal".
const char* FatalSignalName(int signal_number);

}  // namespace quillo::crash
