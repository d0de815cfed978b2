#pragma once
// The exception every operation of the client library throws. It carries a message, the
// library's error code (the table below) and, for failures of the transport, the transport's
// last error (a curl code, see platform/http/CurlHttpRequest.h; 0 when none).
//
// Argument checks and refusals in the wrong state carry kUserDefinedError with a message that
// names the class, the operation and the argument ("CHttpClientT::SetHeader: szName can not be
// NULL.").
#include <string>

#include "service/http/errmsg_exceptionW.h"

namespace Dravik {

enum HttpClientError : int {
  kUnexpectedError = 100,
  kIndexOutOfRange = 101,
  kOutOfMemory = 102,
  kInvalidUrl = 103,
  kPostNotStarted = 104,
  kFileReadShort = 105,
  kPostNotFinished = 106,
  kInvalidPort = 107,
  kStdException = 108,
  kInvalidEncodedUrl = 109,
  kInvalidUtf8 = 110,
  kArithmeticError = 111,
  kArithmeticOverflow = 112,
  kDivideByZero = 113,
  kFileExists = 114,
  kQueryInfoFailed = 400,
  kReadFileFailed = 401,
  kOpenFailed = 402,
  kConnectFailed = 403,
  kOpenRequestFailed = 404,
  kAddHeadersFailed = 405,
  kSendRequestFailed = 406,
  kSendRequestExFailed = 407,
  kWriteFileFailed = 408,
  kEndRequestFailed = 409,
  kSetOptionFailed = 410,
  kToMultiByteFailed = 600,
  kToWideCharFailed = 601,
  kUserDefinedError = 1000,
};

class httpclientexceptionW : public errmsg_exceptionW {
 public:
  // The message of the code's table entry.
  explicit httpclientexceptionW(int error_code, int last_error = 0);
  httpclientexceptionW(std::string message, int error_code, int last_error = 0);

  int ErrorCode() const { return error_code_; }
  int LastError() const { return last_error_; }
  const char* what() const noexcept override { return errmsg_exceptionW::what(); }

  // The table's message of a code; "user-defined error message" for 1000 and above and for
  // unknown codes.
  static const char* MessageOf(int error_code);

 private:
  int error_code_;
  int last_error_;
};

// Throws an argument-check failure: "<where>: <argument> <ending>".
[[noreturn]] void ThrowArgumentError(const char* where, const char* argument, const char* ending);

}  // namespace Dravik
