#pragma once
// Turns rendered samples into the catalogue's files: MP3 at 128 kbit/s (constant bit rate) with
// an ID3v2 tag through `lame`, WMA (version 2, 128 kbit/s) with ASF tags through `ffmpeg`.
// Both run as child processes; a temporary WAV file beside the target is their input.
// Callable from several threads at once (each call uses its own files).
#include <cstdint>
#include <string>
#include <vector>

namespace quillo::stub {

struct AudioTags {
  std::string title;
  std::string artist;
  std::string album;
  int track = 0;  // 0: none
};

enum class AudioFormat { kMp3, kWma };

// Writes `target` (replacing it). On failure returns false with a reason in *error and leaves
// no target or temporary file behind.
bool EncodeAudio(const std::vector<std::int16_t>& stereo_pcm, AudioFormat format,
                 const AudioTags& tags, const std::string& target, std::string* error);

// Writes a canonical 44-byte-header PCM WAV file (16-bit stereo at kSampleRate); false when it
// could not be written whole.
bool WriteWavFile(const std::string& path, const std::vector<std::int16_t>& stereo_pcm);

// Runs a program found on PATH with the arguments, UTF-8 locale, stdin and stdout on /dev/null
// and stderr into `log_path`; true when it exits with status 0.
bool RunProgram(const std::vector<std::string>& argv, const std::string& log_path);

}  // namespace quillo::stub
