#include "service-stub/AudioEncoder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "platform/fs/FileSystem.h"
#include "service-stub/MelodySynth.h"

extern char** environ;

namespace quillo::stub {
namespace {

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

bool WriteWavFile(const std::string& path, const std::vector<std::int16_t>& stereo_pcm) {
  const auto data_bytes = static_cast<std::uint32_t>(stereo_pcm.size() * 2);
  std::string header;
  header += "RIFF";
  PutLe(header, 36 + data_bytes, 4);
  header += "WAVEfmt ";
  PutLe(header, 16, 4);
  PutLe(header, 1, 2);  // PCM
  PutLe(header, 2, 2);  // channels
  PutLe(header, kSampleRate, 4);
  PutLe(header, kSampleRate * 4, 4);
  PutLe(header, 4, 2);
  PutLe(header, 16, 2);
  header += "data";
  PutLe(header, data_bytes, 4);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
  // The samples go out a block at a time: a copy of a whole song would double what a render
  // holds in memory.
  std::string block;
  constexpr std::size_t kBlockSamples = 32768;
  for (std::size_t from = 0; from < stereo_pcm.size() && out; from += kBlockSamples) {
    const std::size_t count = std::min(kBlockSamples, stereo_pcm.size() - from);
    block.resize(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
      const auto value = static_cast<std::uint16_t>(stereo_pcm[from + i]);
      block[i * 2] = static_cast<char>(value & 0xFF);
      block[i * 2 + 1] = static_cast<char>(value >> 8);
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  out.close();
  return !out.fail();
}

bool RunProgram(const std::vector<std::string>& argv, const std::string& log_path) {
  if (argv.empty()) return false;
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  // The child gets a UTF-8 locale so that lame converts the tag texts correctly.
  std::vector<std::string> env_storage;
  for (char** e = environ; e && *e; ++e) {
    const std::string entry(*e);
    if (entry.rfind("LANG=", 0) == 0 || entry.rfind("LC_ALL=", 0) == 0) continue;
    env_storage.push_back(entry);
  }
  env_storage.push_back("LANG=C.UTF-8");
  env_storage.push_back("LC_ALL=C.UTF-8");
  std::vector<char*> env;
  for (auto& entry : env_storage) env.push_back(entry.data());
  env.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool EncodeAudio(const std::vector<std::int16_t>& stereo_pcm, AudioFormat format,
                 const AudioTags& tags, const std::string& target, std::string* error) {
  const std::string wav = target + ".wav";
  const std::string partial = target + ".partial";
  const std::string log = target + ".log";
  auto cleanup = [&] {
    fs::RemoveFile(wav);
    fs::RemoveFile(partial);
    fs::RemoveFile(log);
  };
  if (!WriteWavFile(wav, stereo_pcm)) {
    if (error) *error = "cannot write " + wav;
    cleanup();
    return false;
  }
  std::vector<std::string> argv;
  const std::string track = tags.track > 0 ? std::to_string(tags.track) : std::string();
  if (format == AudioFormat::kMp3) {
    // A fast psychoacoustic pass, plain left/right stereo and no ReplayGain analysis: a song is
    // rendered while whoever fetched it first waits, and these synthetic tones lose nothing
    // audible by it.
    argv = {"lame", "--quiet", "--cbr", "-b", "128", "-q", "7", "-m", "s", "--noreplaygain",
            "--id3v2-only", "--id3v2-utf16",
            "--tt", tags.title, "--ta", tags.artist, "--tl", tags.album};
    if (!track.empty()) argv.insert(argv.end(), {"--tn", track});
    argv.insert(argv.end(), {wav, partial});
  } else {
    argv = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", wav,
            "-c:a", "wmav2", "-b:a", "128k", "-metadata", "title=" + tags.title,
            "-metadata", "artist=" + tags.artist, "-metadata", "album=" + tags.album};
    if (!track.empty()) argv.insert(argv.end(), {"-metadata", "track=" + track});
    argv.insert(argv.end(), {"-f", "asf", partial});
  }
  const bool ran = RunProgram(argv, log);
  const auto size = fs::FileSize(partial);
  if (!ran || !size || *size == 0 || !fs::RenamePath(partial, target)) {
    if (error) {
      const auto text = fs::ReadWholeFile(log);
      *error = argv[0] + " failed for " + target + (text ? ": " + *text : std::string());
    }
    cleanup();
    return false;
  }
  cleanup();
  return true;
}

}  // namespace quillo::stub
