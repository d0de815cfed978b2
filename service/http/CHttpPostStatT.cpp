#include "service/http/CHttpPostStatT.h"

#include <string>

#include "service/http/httpclientexceptionW.h"

namespace Dravik {

std::uint64_t CHttpPostStatT::Checked(const char* operation, std::uint64_t value) const {
  if (!active_) {
    ThrowArgumentError(("CHttpPostStatT::" + std::string(operation)).c_str(), nullptr,
                       "The post context is not active.");
  }
  return value;
}

void CHttpPostStatT::Start(std::uint64_t total_bytes, std::uint64_t total_count) {
  *this = CHttpPostStatT();
  active_ = true;
  total_bytes_ = total_bytes;
  total_count_ = total_count;
}

void CHttpPostStatT::StartParam(std::uint64_t value_bytes) {
  ++posted_count_;
  param_total_ = value_bytes;
  param_posted_ = 0;
}

void CHttpPostStatT::AddPosted(std::uint64_t bytes, bool of_value) {
  posted_bytes_ += bytes;
  if (of_value) param_posted_ += bytes;
}

}  // namespace Dravik
