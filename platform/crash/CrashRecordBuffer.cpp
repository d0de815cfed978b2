#include "platform/crash/CrashRecordBuffer.h"

#include <csignal>

namespace quillo::crash {

void CrashRecordBuffer::Append(std::string_view text) {
  for (char c : text) {
    if (size_ == kCapacity) return;
    text_[size_++] = c;
  }
}

void CrashRecordBuffer::AppendDecimal(long long value) {
  char digits[24];
  int count = 0;
  // Work on the negative side so that the smallest value does not overflow.
  bool negative = value < 0;
  if (!negative) value = -value;
  do {
    digits[count++] = static_cast<char>('0' - value % 10);
    value /= 10;
  } while (value != 0);
  if (negative) Append("-");
  while (count > 0) Append(std::string_view(&digits[--count], 1));
}

void CrashRecordBuffer::AppendHex(std::uintptr_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  char text[2 + 2 * sizeof(value)];
  text[0] = '0';
  text[1] = 'x';
  for (std::size_t i = 0; i < 2 * sizeof(value); ++i) {
    text[2 + i] = kDigits[(value >> (4 * (2 * sizeof(value) - 1 - i))) & 0xF];
  }
  Append(std::string_view(text, sizeof text));
}

const char* FatalSignalName(int signal_number) {
  switch (signal_number) {
    case SIGSEGV:
      return "SIGSEGV";
    case SIGBUS:
      return "SIGBUS";
    case SIGFPE:
      return "SIGFPE";
    case SIGILL:
      return "SIGILL";
    case SIGABRT:
      return "SIGABRT";
    default:
      return "signal";
  }
}

}  // namespace quillo::crash
