// The lyric timeline under load. Targets on a 2-core machine: LocateLine on a 2,000-line lyric
// under 2 µs per call; loading a 200 KB LRC file under 5 ms; a 10 MB file of junk and a file of
// one 5 MB line load (or are refused) within a second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricPlayerInfo.h"
#include "platform/fs/FileSystem.h"

namespace {

using quillo::lyrics::LyricAnalyzer;

class FixedPlayer : public quillo::lyrics::LyricPlayerInfo {
 public:
  explicit FixedPlayer(int duration_ms) : duration_ms_(duration_ms) {}
  std::string DisplayTitle() const override { return "晴天 - 周杰伦 04:29"; }
  int DurationMs() const override { return duration_ms_; }

 private:
  int duration_ms_;
};

// A file in a folder of its own, removed at the end.
class BenchFile {
 public:
  BenchFile(const std::string& name, const std::string& bytes) {
    folder_ = std::filesystem::temp_directory_path() /
              ("quillo-lyric-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / name).string();
    quillo::fs::WriteFile(path_, bytes);
  }
  ~BenchFile() {
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }
  const std::string& path() const { return path_; }

 private:
  std::filesystem::path folder_;
  std::string path_;
};

std::string Tag(int time_ms) {
  char tag[32];
  std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", time_ms / 60000, time_ms / 1000 % 60,
                time_ms / 10 % 100);
  return tag;
}

// `lines` lines 2.5 s apart with a Chinese and Latin text, some blank, some sharing a tag.
std::string LrcText(int lines) {
  std::string text = "[ti:晴天]\r\n[ar:周杰伦]\r\n[al:叶惠美]\r\n[offset:+120]\r\n";
  for (int i = 0; i < lines; ++i) {
    if (i % 25 == 0) {
      text += Tag(i * 2500) + "\r\n";
    } else if (i % 10 == 0) {
      text += Tag(i * 2500) + Tag((i + 1) * 2500) + "副歌重复的一句 chorus line\r\n";
      ++i;
    } else {
      text += Tag(i * 2500) + "故事的小黄花 从出生那年就飘着 " + std::to_string(i) + "\r\n";
    }
  }
  return text;
}

void BM_LocateLine(benchmark::State& state) {
  BenchFile file("song.lrc", LrcText(2000));
  FixedPlayer player(2000 * 2500 + 3000);
  LyricAnalyzer analyzer(&player);
  if (analyzer.LoadLyric(file.path(), "1") != 0) state.SkipWithError("load failed");
  std::mt19937 random(5);
  std::uniform_int_distribution<int> position(-1000, 2000 * 2500 + 5000);
  std::vector<int> positions(4096);
  for (int& p : positions) p = position(random);
  std::size_t i = 0;
  const bool skip_empty = state.range(0) != 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(analyzer.LocateLine(positions[i++ & 4095], skip_empty));
  }
  state.SetLabel(std::to_string(analyzer.document().timeline.size()) + " lines");
}
BENCHMARK(BM_LocateLine)->Arg(0)->Arg(1);

void BM_FindLine(benchmark::State& state) {
  BenchFile file("song.lrc", LrcText(2000));
  FixedPlayer player(2000 * 2500 + 3000);
  LyricAnalyzer analyzer(&player);
  if (analyzer.LoadLyric(file.path(), "1") != 0) state.SkipWithError("load failed");
  int position_ms = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(analyzer.FindLine(position_ms));
    position_ms = (position_ms + 7919) % (2000 * 2500);
  }
}
BENCHMARK(BM_FindLine);

void BM_LoadLrc200KB(benchmark::State& state) {
  std::string text;
  for (int lines = 1000; text.size() < 200 * 1024; lines += 200) text = LrcText(lines);
  BenchFile file("song.lrc", text);
  FixedPlayer player(60 * 60 * 1000);
  LyricAnalyzer analyzer(&player);
  for (auto _ : state) {
    if (analyzer.LoadLyric(file.path(), "1") != 0) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.SetLabel(std::to_string(text.size() / 1024) + " KB");
}
BENCHMARK(BM_LoadLrc200KB)->Unit(benchmark::kMillisecond);

std::string Junk(std::size_t size) {
  std::mt19937 random(1);
  std::string junk(size, '\0');
  for (char& c : junk) c = static_cast<char>(random());
  for (int i = 0; i < 20000; ++i) {
    const std::string piece = i % 2 ? "\n[00:01.00]" : "\n[ti:";
    junk.replace(random() % (junk.size() - piece.size()), piece.size(), piece);
  }
  return junk;
}

void BM_LoadJunk10MB(benchmark::State& state) {
  BenchFile file("junk.lrc", Junk(10 << 20));
  FixedPlayer player(300000);
  LyricAnalyzer analyzer(&player);
  for (auto _ : state) benchmark::DoNotOptimize(analyzer.LoadLyric(file.path(), "1"));
  state.SetLabel("state " + std::to_string(analyzer.GetState()));
}
BENCHMARK(BM_LoadJunk10MB)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadOneLine5MB(benchmark::State& state) {
  std::string text = "[00:01.00]";
  while (text.size() < (5 << 20)) text += "这是一行很长的歌词 with words [and] brackets[0";
  BenchFile file("long.lrc", text);
  FixedPlayer player(300000);
  LyricAnalyzer analyzer(&player);
  for (auto _ : state) benchmark::DoNotOptimize(analyzer.LoadLyric(file.path(), "1"));
  state.SetLabel("state " + std::to_string(analyzer.GetState()));
}
BENCHMARK(BM_LoadOneLine5MB)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
