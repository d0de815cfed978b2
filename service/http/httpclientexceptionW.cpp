#include "service/http/httpclientexceptionW.h"

namespace Dravik {

httpclientexceptionW::httpclientexceptionW(int error_code, int last_error)
    : httpclientexceptionW(MessageOf(error_code), error_code, last_error) {}

httpclientexceptionW::httpclientexceptionW(std::string message, int error_code, int last_error)
    : errmsg_exceptionW(std::move(message)), error_code_(error_code), last_error_(last_error) {}

const char* httpclientexceptionW::MessageOf(int error_code) {
  switch (error_code) {
    case 100:
      return "Unexpected error occurred.";
    case 101:
      return "The index is out of range.";
    case 102:
      return "Out of memory.";
    case 103:
      return "The requested URL is not a valid URL.";
    case 104:
      return "The post context is not started yet.";
    case 105:
      return "Couldn't read expected bytes from a file.";
    case 106:
      return "The post context has not been finished yet.";
    case 107:
      return "The port number is not valid.";
    case 108:
      return "std::exception occurred.";
    case 109:
      return "The encoded URL is not valid.";
    case 110:
      return "The UTF8 string contains an invalid character.";
    case 111:
      return "An unexpected arithmetic error has been occurred.";
    case 112:
      return "An arithmetic overflow error has been occurred.";
    case 113:
      return "An interger divide by zero exception has been occurred.";
    case 114:
      return "The file (%s) aleady exists.";
    case 400:
      return "::HttpQueryInfo failed.";
    case 401:
      return "::InternetReadFile failed.";
    case 402:
      return "::InternetOpen failed.";
    case 403:
      return "::InternetConnect failed.";
    case 404:
      return "::HttpOpenRequest failed.";
    case 405:
      return "::HttpAddRequestHeaders failed.";
    case 406:
      return "::HttpSendRequest failed.";
    case 407:
      return "::HttpSendRequestEx failed.";
    case 408:
      return "::InternetWriteFile failed.";
    case 409:
      return "::HttpEndRequest failed.";
    case 410:
      return "::InternetSetOption failed.";
    case 600:
      return "::WideCharToMultiByte failed.";
    case 601:
      return "::MultiByteToWideChar failed.";
    case 602:
      return "::ReadFile failed.";
    case 603:
      return "OpenFile (::CreateFile) failed (\"%s\").";
    case 604:
      return "::SetFilePointer failed.";
    case 605:
      return "::GetFileSize failed (\"%s\").";
    case 606:
      return "::WriteFile failed (\"%s\").";
    default:
      return "user-defined error message";
  }
}

void ThrowArgumentError(const char* where, const char* argument, const char* ending) {
  std::string message = std::string(where) + ": ";
  if (argument != nullptr && *argument != '\0') message += std::string(argument) + " ";
  throw httpclientexceptionW(message + ending, kUserDefinedError);
}

}  // namespace Dravik
