#pragma once
// Fault rules set by tests through "/_control": each names a request path (exactly, or a prefix
// when it ends in '*'), optionally a text the request target must contain, a kind with its
// value, and how many requests it acts on (0: until cleared). Thread-safe.
//
// Kinds: drop_after (bytes), throttle (bytes_per_second), status (status, optional body),
// wrong_content_range (optional content_range), no_content_length, cut (bytes),
// malformed_xml, unscrambled, delay (ms). A rule is counted only for answers it can act on:
// wrong_content_range for partial (206) answers, malformed_xml for XML documents, unscrambled
// for scrambled documents; the others for every matching request.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "service-stub/JsonWriter.h"
#include "service-stub/Params.h"

namespace quillo::stub {

enum class FaultKind {
  kDropAfter, kThrottle, kStatus, kWrongContentRange, kNoContentLength, kCut, kMalformedXml,
  kUnscrambled, kDelay,
};

struct FaultRule {
  int id = 0;
  std::string path;
  std::string match;
  FaultKind kind = FaultKind::kStatus;
  std::int64_t value = 0;
  std::string text;    // status body or Content-Range text
  bool has_body = false;  // status rules: the body replaces the answer's
  int remaining = 0;   // requests left; 0 = until cleared
  int hits = 0;
};

// What the rules matching one answer ask for.
struct FaultPlan {
  std::optional<std::int64_t> drop_after_bytes;
  std::optional<std::int64_t> throttle_bytes_per_second;
  std::optional<int> status;
  std::optional<std::string> status_body;
  std::optional<std::string> content_range;  // replacement; empty text = make one up
  bool no_content_length = false;
  std::optional<std::int64_t> cut_bytes;
  bool malformed_xml = false;
  bool unscrambled = false;
  std::int64_t delay_ms = 0;
};

struct AnswerTraits {
  bool partial = false;
  bool document = false;
  bool scrambled = false;
};

class FaultRules {
 public:
  // From control parameters path, kind, count, match and the kind's value; the new rule's id,
  // or no value with the reason in *error.
  std::optional<int> Add(const Params& params, std::string* error);
  // Removes one rule, or all when id is empty; the number removed.
  int Clear(const std::string& id);
  // Consumes one use of every rule that matches and can act on the answer.
  FaultPlan Take(const std::string& path, const std::string& target, const AnswerTraits& traits);
  void WriteJson(JsonWriter& json);

  static std::optional<FaultKind> KindFromName(const std::string& name);
  static const char* KindName(FaultKind kind);

 private:
  std::mutex mutex_;
  std::vector<FaultRule> rules_;
  int next_id_ = 1;
};

}  // namespace quillo::stub
