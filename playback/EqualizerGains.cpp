#include "playback/EqualizerGains.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "platform/media/MediaGraph.h"
#include "platform/text/TextUtil.h"
#include "store/DocumentStore.h"

namespace quillo::playback {
namespace {

constexpr std::string_view kValueKey = "sorvel.eq.value";
constexpr std::string_view kTypeKey = "sorvel.eq.type";
constexpr std::string_view kStagePrefix = "ParamEq";

bool ValidBand(int band) {
  return band >= 0 && band < EqualizerGains::kBands;
}

// A piece of the stored list: its leading number (the rest ignored), 0 when there is none or it
// is not finite. Locale-independent, so a comma locale cannot change what was saved.
double ReadGain(std::string_view piece) {
  piece = text::TrimView(piece);
  if (!piece.empty() && piece.front() == '+') piece.remove_prefix(1);
  double value = 0.0;
  auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
  (void)end;
  if (error != std::errc() || !std::isfinite(value)) return 0.0;
  return value;
}

// The stage's band number when the whole rest of the name is decimal digits.
std::optional<int> StageBand(std::string_view name) {
  if (!text::StartsWith(name, kStagePrefix)) return std::nullopt;
  std::string_view rest = name.substr(kStagePrefix.size());
  if (rest.empty() || rest.size() > 3) return std::nullopt;
  int band = 0;
  for (char c : rest) {
    if (c < '0' || c > '9') return std::nullopt;
    band = band * 10 + (c - '0');
  }
  return band;
}

}  // namespace

double EqualizerGains::Gain(int band) const {
  return ValidBand(band) ? gains_[band] : 0.0;
}

void EqualizerGains::SetGain(int band, double db) {
  if (!ValidBand(band)) return;
  if (!std::isfinite(db)) db = 0.0;
  gains_[band] = std::fmin(kMaxGainDb, std::fmax(kMinGainDb, db));
}

void EqualizerGains::SetAll(double db) {
  for (int band = 0; band < kBands; ++band) SetGain(band, db);
}

std::string EqualizerGains::ToText() const {
  std::string out;
  char piece[32];
  for (double gain : gains_) {
    std::snprintf(piece, sizeof piece, "%.2f,", gain);
    out += piece;
  }
  return out;
}

bool EqualizerGains::FromText(const std::string& text) {
  std::string_view rest = text;
  std::array<double, kBands> read{};
  int count = 0;
  // The saved form ends with a comma; the empty piece after it is not a value.
  while (!rest.empty()) {
    std::size_t comma = rest.find(',');
    std::string_view piece = rest.substr(0, comma);
    double value = ReadGain(piece);
    if (value > kMaxGainDb || value < kMinGainDb) value = 0.0;
    if (count < kBands) read[count] = value;
    ++count;
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (count != kBands) return false;
  gains_ = read;
  return true;
}

void EqualizerGains::Load(const store::DocumentStore& store) {
  if (!store.HasConfig(kValueKey)) return;
  FromText(store.GetConfigText(kValueKey));
}

void EqualizerGains::Save(store::DocumentStore& store) const {
  store.SetConfigText(kValueKey, ToText());
  store.SetConfigInt(kTypeKey, preset_index_);
}

int EqualizerGains::LoadPresetIndex(const store::DocumentStore& store) {
  int index = store.GetConfigInt(kTypeKey, 0);
  return index >= 0 && index <= kLastPlainPreset ? index : kOutOfRangePreset;
}

void ApplyEqualizer(const EqualizerGains& gains, audio::MediaGraph& graph) {
  for (const std::string& name : graph.StageNames()) {
    std::optional<int> band = StageBand(name);
    if (band && ValidBand(*band)) graph.SetEqualizerGain(*band, gains.Gain(*band));
  }
}

}  // namespace quillo::playback
