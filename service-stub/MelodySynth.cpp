#include "service-stub/MelodySynth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace quillo::stub {
namespace {

constexpr int kPentatonic[] = {0, 2, 4, 7, 9};
constexpr int kEighthsPerPhrase = 16;
constexpr int kSungEighths = 14;  // the last beat of a phrase is a breath
constexpr int kProgression[][4] = {{0, 7, 9, 5}, {9, 5, 0, 7}, {0, 5, 7, 0}, {0, 9, 5, 7}};

int BpmFor(std::uint32_t seed) { return 84 + static_cast<int>((seed * 7919u) % 48u); }

// An even beat length keeps eighths, bars and phrases whole milliseconds apart.
int BeatMsFor(std::uint32_t seed) { return (60000 / BpmFor(seed)) & ~1; }

// Splits `total` eighths into `parts` note lengths of 1 to 4 eighths, longer notes near the end.
std::vector<int> SplitRhythm(std::mt19937& random, int parts, int total) {
  parts = std::clamp(parts, 1, total);
  std::vector<int> lengths(static_cast<std::size_t>(parts), 1);
  int left = total - parts;
  // The closing note of a phrase gets room to ring.
  const int closing = std::min(left, 3);
  lengths.back() += closing;
  left -= closing;
  std::uniform_int_distribution<int> pick(0, parts - 1);
  int guard = 0;
  while (left > 0 && guard++ < 1000) {
    int& length = lengths[static_cast<std::size_t>(pick(random))];
    if (length < 4) {
      ++length;
      --left;
    }
  }
  if (left > 0) lengths.back() += left;
  return lengths;
}

class SineTable {
 public:
  SineTable() {
    for (std::size_t i = 0; i < table_.size(); ++i) {
      table_[i] = static_cast<float>(std::sin(2.0 * M_PI * static_cast<double>(i) / table_.size()));
    }
  }
  // phase in turns as a 32-bit fraction
  float At(std::uint32_t phase) const { return table_[phase >> 20]; }

 private:
  std::array<float, 4096> table_{};
};

const SineTable& Sine() {
  static const SineTable table;
  return table;
}

std::uint32_t PhaseStep(double frequency_hz) {
  return static_cast<std::uint32_t>(frequency_hz / kSampleRate * 4294967296.0);
}

double MidiToHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

std::size_t MsToFrame(int ms) { return static_cast<std::size_t>(ms) * kSampleRate / 1000; }

// Where a part sits in the stereo mix: its gain on the left and on the right channel.
struct Pan {
  float left;
  float right;
};
constexpr Pan kLeadPan{0.85f, 0.65f};
constexpr Pan kBassPan{1.0f, 1.0f};
constexpr Pan kPadPan{0.9f, 1.1f};
constexpr Pan kDrumPan{0.8f, 1.0f};

// Adds one tone with harmonics and an attack-decay-release envelope into the interleaved stereo
// mix. Harmonics of weight 0 cost nothing.
void AddTone(std::vector<float>& mix, Pan pan, int start_ms, int length_ms, double hz, float gain,
             const std::array<float, 3>& harmonics, double decay_per_s) {
  const std::size_t frames = mix.size() / 2;
  const std::size_t begin = MsToFrame(start_ms);
  const std::size_t length = MsToFrame(length_ms);
  const std::size_t release = std::min<std::size_t>(length / 3, MsToFrame(70));
  const std::size_t attack = std::min<std::size_t>(length / 4, MsToFrame(12));
  const auto& sine = Sine();
  const std::uint32_t step = PhaseStep(hz);
  const double decay = std::exp(-decay_per_s / kSampleRate);
  const bool second = harmonics[1] != 0.0f;
  const bool third = harmonics[2] != 0.0f;
  std::uint32_t phase = 0;
  double level = 1.0;
  for (std::size_t i = 0; i < length && begin + i < frames; ++i) {
    double envelope = level;
    if (i < attack) envelope *= static_cast<double>(i) / attack;
    if (i + release > length) envelope *= static_cast<double>(length - i) / release;
    float sample = harmonics[0] * sine.At(phase);
    if (second) sample += harmonics[1] * sine.At(phase * 2);
    if (third) sample += harmonics[2] * sine.At(phase * 3);
    const float value = static_cast<float>(gain * envelope) * sample;
    mix[(begin + i) * 2] += pan.left * value;
    mix[(begin + i) * 2 + 1] += pan.right * value;
    phase += step;
    level *= decay;
  }
}

}  // namespace

int PhraseLengthMs(std::uint32_t seed) { return BeatMsFor(seed) * 8; }

MelodyScore ComposeMelody(std::uint32_t seed, const std::vector<int>& units_per_phrase) {
  std::mt19937 random(seed);
  MelodyScore score;
  score.bpm = BpmFor(seed);
  score.beat_ms = BeatMsFor(seed);
  score.root_midi = 57 + static_cast<int>(seed % 8u);
  const int eighth_ms = score.beat_ms / 2;
  int degree = 5;  // index into the pentatonic scale over two octaves
  int at_ms = 0;
  for (const int units : units_per_phrase) {
    MelodyPhrase phrase;
    phrase.start_ms = at_ms;
    phrase.end_ms = at_ms + eighth_ms * kEighthsPerPhrase;
    phrase.sung = units > 0;
    const int notes = units > 0 ? std::min(units, kSungEighths)
                                : std::uniform_int_distribution<int>(5, 9)(random);
    const auto rhythm = SplitRhythm(random, notes, kSungEighths);
    int eighth = 0;
    for (std::size_t i = 0; i < rhythm.size(); ++i) {
      std::uniform_int_distribution<int> move(-2, 2);
      degree = std::clamp(degree + move(random), 0, 10);
      if (i + 1 == rhythm.size()) degree = (degree / 5) * 5;  // close on the root
      MelodyNote note;
      note.start_ms = at_ms + eighth * eighth_ms;
      note.length_ms = rhythm[i] * eighth_ms;
      note.midi = score.root_midi + 12 * (degree / 5) + kPentatonic[degree % 5];
      phrase.notes.push_back(note);
      eighth += rhythm[i];
    }
    score.phrases.push_back(std::move(phrase));
    at_ms += eighth_ms * kEighthsPerPhrase;
  }
  // A short ring-out after the last phrase.
  score.duration_ms = at_ms + score.beat_ms * 2;
  return score;
}

std::vector<std::int16_t> RenderMelody(const MelodyScore& score, std::uint32_t seed) {
  // The parts are mixed straight into one stereo buffer: a song of five minutes is rendered
  // while whoever fetched it first waits, so it makes one pass over its memory, not five.
  const std::size_t frames = MsToFrame(score.duration_ms);
  std::vector<float> mix(frames * 2, 0.0f);
  const auto& progression = kProgression[seed % 4u];

  for (const auto& phrase : score.phrases) {
    for (const auto& note : phrase.notes) {
      AddTone(mix, kLeadPan, note.start_ms, note.length_ms, MidiToHz(note.midi),
              phrase.sung ? 0.55f : 0.45f, {1.0f, 0.35f, 0.15f}, 1.2);
    }
  }
  const int bar_ms = score.beat_ms * 4;
  const int bars = score.duration_ms / bar_ms;
  for (int bar = 0; bar < bars; ++bar) {
    const int chord = score.root_midi + progression[bar % 4];
    for (int beat = 0; beat < 4; ++beat) {
      AddTone(mix, kBassPan, bar * bar_ms + beat * score.beat_ms, score.beat_ms,
              MidiToHz(chord - 24), 0.5f, {1.0f, 0.3f, 0.0f}, 3.0);
    }
    const bool minor = progression[bar % 4] == 9;
    for (const int interval : {0, minor ? 3 : 4, 7}) {
      AddTone(mix, kPadPan, bar * bar_ms, bar_ms, MidiToHz(chord - 12 + interval), 0.12f,
              {1.0f, 0.0f, 0.0f}, 0.4);
    }
  }
  // Drums: a kick on beats one and three, a closed hi-hat on every eighth.
  std::uint32_t noise = seed * 747796405u + 2891336453u;
  const std::size_t hat_frames = MsToFrame(28);
  const std::size_t kick_frames = MsToFrame(90);
  auto add_drum = [&](std::size_t frame, float value) {
    mix[frame * 2] += kDrumPan.left * value;
    mix[frame * 2 + 1] += kDrumPan.right * value;
  };
  for (int eighth = 0; eighth * score.beat_ms / 2 < score.duration_ms - score.beat_ms * 2; ++eighth) {
    const std::size_t begin = MsToFrame(eighth * score.beat_ms / 2);
    for (std::size_t i = 0; i < hat_frames && begin + i < frames; ++i) {
      noise = noise * 1664525u + 1013904223u;
      const float white = static_cast<float>(static_cast<std::int32_t>(noise)) / 2147483648.0f;
      add_drum(begin + i, 0.08f * white * (1.0f - static_cast<float>(i) / hat_frames));
    }
    if (eighth % 4 == 0) {
      std::uint32_t phase = 0;
      for (std::size_t i = 0; i < kick_frames && begin + i < frames; ++i) {
        const double t = static_cast<double>(i) / kick_frames;
        phase += PhaseStep(110.0 - 70.0 * t);
        add_drum(begin + i, static_cast<float>(0.5 * (1.0 - t) * Sine().At(phase)));
      }
    }
  }

  float peak = 1e-6f;
  for (const float value : mix) peak = std::max(peak, std::fabs(value));
  const float scale = 0.85f * 32767.0f / peak;
  std::vector<std::int16_t> pcm(mix.size());
  for (std::size_t i = 0; i < mix.size(); ++i) {
    pcm[i] = static_cast<std::int16_t>(std::lrintf(mix[i] * scale));
  }
  return pcm;
}

}  // namespace quillo::stub
