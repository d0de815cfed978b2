#include "service-stub/FaultRules.h"

#include <cstdlib>

#include "platform/text/TextUtil.h"

namespace quillo::stub {
namespace {

struct KindInfo {
  FaultKind kind;
  const char* name;
  const char* value_param;  // nullptr: the kind takes no number
  std::int64_t min_value;
  std::int64_t max_value;
};

constexpr KindInfo kKinds[] = {
    {FaultKind::kDropAfter, "drop_after", "bytes", 0, 1LL << 40},
    {FaultKind::kThrottle, "throttle", "bytes_per_second", 1, 1LL << 40},
    {FaultKind::kStatus, "status", "status", 100, 599},
    {FaultKind::kWrongContentRange, "wrong_content_range", nullptr, 0, 0},
    {FaultKind::kNoContentLength, "no_content_length", nullptr, 0, 0},
    {FaultKind::kCut, "cut", "bytes", 0, 1LL << 40},
    {FaultKind::kMalformedXml, "malformed_xml", nullptr, 0, 0},
    {FaultKind::kUnscrambled, "unscrambled", nullptr, 0, 0},
    {FaultKind::kDelay, "delay", "ms", 0, 600000},
};

const KindInfo* Info(FaultKind kind) {
  for (const auto& info : kKinds) {
    if (info.kind == kind) return &info;
  }
  return nullptr;
}

std::optional<std::int64_t> ParseNumber(const std::string& text) {
  const std::string trimmed = text::Trim(text);
  if (trimmed.empty() || trimmed.size() > 18) return std::nullopt;
  for (const char c : trimmed) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return std::strtoll(trimmed.c_str(), nullptr, 10);
}

bool PathMatches(const std::string& pattern, const std::string& path) {
  if (!pattern.empty() && pattern.back() == '*') {
    return path.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
  }
  return pattern == path;
}

bool CanAct(FaultKind kind, const AnswerTraits& traits) {
  switch (kind) {
    case FaultKind::kWrongContentRange: return traits.partial;
    case FaultKind::kMalformedXml: return traits.document;
    case FaultKind::kUnscrambled: return traits.scrambled;
    default: return true;
  }
}

}  // namespace

std::optional<FaultKind> FaultRules::KindFromName(const std::string& name) {
  for (const auto& info : kKinds) {
    if (name == info.name) return info.kind;
  }
  return std::nullopt;
}

const char* FaultRules::KindName(FaultKind kind) {
  const KindInfo* info = Info(kind);
  return info ? info->name : "?";
}

std::optional<int> FaultRules::Add(const Params& params, std::string* error) {
  auto fail = [&](const std::string& reason) -> std::optional<int> {
    if (error) *error = reason;
    return std::nullopt;
  };
  FaultRule rule;
  rule.path = params.GetOr("path", "");
  if (rule.path.empty() || rule.path.front() != '/') {
    if (rule.path != "*") return fail("path must begin with '/' (or be '*')");
  }
  const auto kind = KindFromName(params.GetOr("kind", ""));
  if (!kind) return fail("unknown kind");
  rule.kind = *kind;
  const KindInfo* info = Info(rule.kind);
  if (info->value_param) {
    const auto value = ParseNumber(params.GetOr(info->value_param, ""));
    if (!value || *value < info->min_value || *value > info->max_value) {
      return fail(std::string("missing or bad ") + info->value_param);
    }
    rule.value = *value;
  }
  if (rule.kind == FaultKind::kStatus && params.Has("body")) {
    rule.text = params.GetOr("body", "");
    rule.has_body = true;
  }
  if (rule.kind == FaultKind::kWrongContentRange) rule.text = params.GetOr("content_range", "");
  if (params.Has("count")) {
    const auto count = ParseNumber(*params.Get("count"));
    if (!count || *count > 1000000) return fail("bad count");
    rule.remaining = static_cast<int>(*count);
  }
  rule.match = params.GetOr("match", "");
  if (rule.path == "*") rule.path = "/*";
  std::lock_guard lock(mutex_);
  rule.id = next_id_++;
  rules_.push_back(rule);
  return rule.id;
}

int FaultRules::Clear(const std::string& id) {
  std::lock_guard lock(mutex_);
  const std::size_t before = rules_.size();
  if (id.empty()) {
    rules_.clear();
  } else {
    std::erase_if(rules_, [&](const FaultRule& rule) { return std::to_string(rule.id) == id; });
  }
  return static_cast<int>(before - rules_.size());
}

FaultPlan FaultRules::Take(const std::string& path, const std::string& target,
                           const AnswerTraits& traits) {
  FaultPlan plan;
  std::lock_guard lock(mutex_);
  for (auto& rule : rules_) {
    if (!PathMatches(rule.path, path)) continue;
    if (!rule.match.empty() && target.find(rule.match) == std::string::npos) continue;
    if (!CanAct(rule.kind, traits)) continue;
    ++rule.hits;
    switch (rule.kind) {
      case FaultKind::kDropAfter: plan.drop_after_bytes = rule.value; break;
      case FaultKind::kThrottle: plan.throttle_bytes_per_second = rule.value; break;
      case FaultKind::kStatus:
        plan.status = static_cast<int>(rule.value);
        if (rule.has_body) plan.status_body = rule.text;
        break;
      case FaultKind::kWrongContentRange: plan.content_range = rule.text; break;
      case FaultKind::kNoContentLength: plan.no_content_length = true; break;
      case FaultKind::kCut: plan.cut_bytes = rule.value; break;
      case FaultKind::kMalformedXml: plan.malformed_xml = true; break;
      case FaultKind::kUnscrambled: plan.unscrambled = true; break;
      case FaultKind::kDelay: plan.delay_ms = std::max(plan.delay_ms, rule.value); break;
    }
    if (rule.remaining > 0 && --rule.remaining == 0) rule.remaining = -1;  // used up
  }
  std::erase_if(rules_, [](const FaultRule& rule) { return rule.remaining < 0; });
  return plan;
}

void FaultRules::WriteJson(JsonWriter& json) {
  std::lock_guard lock(mutex_);
  json.BeginArray();
  for (const auto& rule : rules_) {
    json.BeginObject()
        .Field("id", rule.id)
        .Field("path", rule.path)
        .Field("match", rule.match)
        .Field("kind", KindName(rule.kind));
    const KindInfo* info = Info(rule.kind);
    if (info->value_param) json.Field(info->value_param, rule.value);
    if (rule.has_body) json.Field("body", rule.text);
    if (rule.kind == FaultKind::kWrongContentRange) json.Field("content_range", rule.text);
    json.Field("remaining", rule.remaining).Field("hits", rule.hits).EndObject();
  }
  json.EndArray();
}

}  // namespace quillo::stub
