#pragma once
// Test audio for the media graph tests: files made with ffmpeg, WAV reading and writing, and the
// samples of a plain GStreamer decode to compare against.
#include <cstdint>
#include <string>
#include <vector>

namespace quillo::testing {

struct ShellResult {
  int status = -1;
  std::string text;
};
ShellResult Shell(const std::string& command);
bool HaveProgram(const char* program);
std::string Quote(const std::string& text);

// Interleaved 16-bit stereo samples and their rate.
struct Pcm {
  int sample_rate = 0;
  int channels = 0;
  std::vector<std::int16_t> samples;
  std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// The PCM of a 16-bit WAV file (its data chunk; to the end of the file when the header's size was
// never rewritten); empty when it is no such file.
Pcm ReadWav(const std::string& path);
// Writes a 16-bit stereo WAV with a sine of `frequency_hz` at `amplitude` (0..1) on both channels.
bool WriteSineWav(const std::string& path, double frequency_hz, double amplitude, double seconds,
                  int sample_rate);
// What a plain `decodebin ! audioconvert` gives for `path`, as S16LE stereo, without dither.
Pcm PlainDecode(const std::string& path);

// Stereo test audio: pink noise on the left, a 330 Hz sine on the right, 44100 Hz.
bool MakeTestAudio(const std::string& path, int seconds, const std::string& codec_options);

}  // namespace quillo::testing
