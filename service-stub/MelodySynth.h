#pragma once
// Composes and renders the catalogue's songs: a pentatonic melody over a four-chord bass line,
// with a soft pad and light drums. Every phrase lasts two bars; a sung phrase has exactly one
// melody note per lyric unit (a Chinese character or a Latin word), so the lyric timings can be
// taken from the notes. Deterministic for a seed.
#include <cstdint>
#include <vector>

namespace quillo::stub {

inline constexpr int kSampleRate = 44100;

struct MelodyNote {
  int start_ms = 0;
  int length_ms = 0;
  int midi = 60;
};

struct MelodyPhrase {
  int start_ms = 0;
  int end_ms = 0;       // start of the next phrase
  bool sung = false;    // false: an instrumental phrase (intro, break, ending)
  std::vector<MelodyNote> notes;
};

struct MelodyScore {
  int bpm = 100;
  int root_midi = 60;
  int beat_ms = 600;
  int duration_ms = 0;
  std::vector<MelodyPhrase> phrases;
};

// units_per_phrase: one entry per phrase, the number of lyric units it carries (1..14), or 0 for
// an instrumental phrase.
MelodyScore ComposeMelody(std::uint32_t seed, const std::vector<int>& units_per_phrase);

// The phrase length the composer picks for a seed, so callers can plan a song's length.
int PhraseLengthMs(std::uint32_t seed);

// 16-bit stereo samples, interleaved, at kSampleRate.
std::vector<std::int16_t> RenderMelody(const MelodyScore& score, std::uint32_t seed);

}  // namespace quillo::stub
