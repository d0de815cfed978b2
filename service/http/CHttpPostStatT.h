#pragma once
// Progress counters of the client's active POST context. Every query throws ("... The post
// context is not active.") while no POST is under way.
#include <cstdint>

namespace Dravik {

class CHttpPostStatT {
 public:
  std::uint64_t TotalBytes() const { return Checked("TotalBytes", total_bytes_); }
  std::uint64_t PostedBytes() const { return Checked("PostedBytes", posted_bytes_); }
  std::uint64_t TotalCount() const { return Checked("TotalCount", total_count_); }
  std::uint64_t PostedCount() const { return Checked("PostedCount", posted_count_); }
  // Files are never part of a form here: always 0.
  std::uint64_t FileCount() const { return Checked("FileCount", 0); }
  std::uint64_t CurrParamTotalBytes() const { return Checked("CurrParamTotalBytes", param_total_); }
  std::uint64_t CurrParamPostedBytes() const {
    return Checked("CurrParamPostedBytes", param_posted_);
  }
  std::uint64_t CurrParamRemainBytes() const {
    return Checked("CurrParamRemainBytes", param_total_ - param_posted_);
  }
  bool IsActive() const { return active_; }

  // Used by the client.
  void Start(std::uint64_t total_bytes, std::uint64_t total_count);
  void StartParam(std::uint64_t value_bytes);
  void AddPosted(std::uint64_t bytes, bool of_value);
  void Stop() { *this = CHttpPostStatT(); }
  bool ParamComplete() const { return param_posted_ == param_total_; }

 private:
  std::uint64_t Checked(const char* operation, std::uint64_t value) const;

  bool active_ = false;
  std::uint64_t total_bytes_ = 0;
  std::uint64_t posted_bytes_ = 0;
  std::uint64_t total_count_ = 0;
  std::uint64_t posted_count_ = 0;
  std::uint64_t param_total_ = 0;
  std::uint64_t param_posted_ = 0;
};

}  // namespace Dravik
