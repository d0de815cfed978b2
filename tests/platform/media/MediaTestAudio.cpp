#include "MediaTestAudio.h"

#include <gst/gst.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace quillo::testing {

ShellResult Shell(const std::string& command) {
  ShellResult result;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"),
                                             pclose);
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
    result.text.append(buffer.data(), n);
  }
  result.status = pclose(pipe.release());
  return result;
}

bool HaveProgram(const char* program) {
  return Shell(std::string("command -v ") + program).status == 0;
}

std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

namespace {

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}
std::uint16_t Le16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                    static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}
void Put32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}
void Put16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

}  // namespace

Pcm ReadWav(const std::string& path) {
  Pcm pcm;
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
    return pcm;
  }
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    std::string id = bytes.substr(at, 4);
    std::uint32_t size = Le32(bytes, at + 4);
    if (id == "fmt " && at + 24 <= bytes.size()) {
      pcm.channels = Le16(bytes, at + 10);
      pcm.sample_rate = static_cast<int>(Le32(bytes, at + 12));
    } else if (id == "data") {
      // A size of 0 or one past the end is a header that was never rewritten: read to the end.
      std::size_t left = bytes.size() - at - 8;
      std::size_t count = (size > 0 && size <= left ? size : left) / 2;
      pcm.samples.resize(count);
      std::memcpy(pcm.samples.data(), bytes.data() + at + 8, count * 2);
      return pcm;
    }
    at += 8 + size + (size & 1);
  }
  return pcm;
}

bool WriteSineWav(const std::string& path, double frequency_hz, double amplitude, double seconds,
                  int sample_rate) {
  const auto frames = static_cast<std::uint32_t>(seconds * sample_rate);
  std::string out = "RIFF";
  Put32(out, 36 + frames * 4);
  out += "WAVEfmt ";
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, 2);
  Put32(out, static_cast<std::uint32_t>(sample_rate));
  Put32(out, static_cast<std::uint32_t>(sample_rate) * 4);
  Put16(out, 4);
  Put16(out, 16);
  out += "data";
  Put32(out, frames * 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    auto value = static_cast<std::int16_t>(
        std::lround(32767.0 * amplitude * std::sin(2 * M_PI * frequency_hz * i / sample_rate)));
    Put16(out, static_cast<std::uint16_t>(value));
    Put16(out, static_cast<std::uint16_t>(value));
  }
  std::ofstream file(path, std::ios::binary);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

Pcm PlainDecode(const std::string& path) {
  const std::string wav = path + ".plain.wav";
  GError* error = nullptr;
  std::string description = "filesrc location=\"" + path + "\"" +
                            " ! decodebin ! audioconvert dithering=none"
                            " ! audio/x-raw,format=S16LE,layout=interleaved,channels=2"
                            " ! wavenc ! filesink sync=false location=\"" +
                            wav + "\"";
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (error != nullptr) g_error_free(error);
  if (pipeline == nullptr) return {};
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message = gst_bus_timed_pop_filtered(
      bus, 60 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool finished = message != nullptr && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
  if (message != nullptr) gst_message_unref(message);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  if (!finished) return {};
  Pcm pcm = ReadWav(wav);
  std::remove(wav.c_str());
  return pcm;
}

bool MakeTestAudio(const std::string& path, int seconds, const std::string& codec_options) {
  const std::string length = std::to_string(seconds);
  return Shell("ffmpeg -loglevel error -y -filter_complex 'anoisesrc=d=" + length +
               ":c=pink:r=44100:a=0.3:seed=7[a];sine=f=330:d=" + length +
               ":r=44100[b];[a][b]amerge=inputs=2' " + codec_options + " " + Quote(path))
             .status == 0;
}

}  // namespace quillo::testing
