#include "lyrics/LyricTimeline.h"

#include <algorithm>
#include <climits>

#include "lyrics/Utf8Step.h"
#include "platform/text/TextUtil.h"

namespace quillo::lyrics {

bool LyricLine::IsBlank() const {
  return text::TrimView(text).empty();
}

bool LyricTimeline::AddLine(int start_ms, int end_ms, std::string text,
                            std::vector<LyricWord> words) {
  if (lines_.size() >= kMaxLines || text.size() > kMaxTextBytes - text_bytes_) return false;
  text_bytes_ += text.size();
  LyricLine line;
  line.start_ms = start_ms;
  line.end_ms = end_ms;
  line.text = std::move(text);
  line.words = std::move(words);
  lines_.push_back(std::move(line));
  return true;
}

void LyricTimeline::Clear() {
  lines_.clear();
  text_bytes_ = 0;
  searchable_ = true;
}

void LyricTimeline::Order() {
  std::stable_sort(lines_.begin(), lines_.end(),
                   [](const LyricLine& a, const LyricLine& b) { return a.start_ms < b.start_ms; });
  for (std::size_t i = 0; i < lines_.size(); ++i) lines_[i].index = i;
  UpdateSearchable();
}

void LyricTimeline::SetEnds() {
  for (std::size_t i = 0; i + 1 < lines_.size(); ++i) lines_[i].end_ms = lines_[i + 1].start_ms;
  UpdateSearchable();
}

bool LyricTimeline::AddCharacterWords(int last_end_ms) {
  if (lines_.empty()) return false;
  // An end at or before the start would have the whole line sung the moment it begins.
  const int start_ms = lines_.back().start_ms;
  const bool guessed = last_end_ms <= start_ms;
  lines_.back().end_ms =
      guessed ? static_cast<int>(std::min<std::int64_t>(
                    static_cast<std::int64_t>(start_ms) + kGuessedLastLineMs, INT_MAX))
              : last_end_ms;
  for (LyricLine& line : lines_) {
    line.words.clear();
    if (line.text.empty()) continue;
    // 64-bit: the span times the character count overflows an int on long lines.
    const std::int64_t span =
        std::max<std::int64_t>(1, static_cast<std::int64_t>(line.end_ms) - line.start_ms);
    const std::int64_t count = static_cast<std::int64_t>(text::CodePointCount(line.text));
    line.words.reserve(static_cast<std::size_t>(count));
    std::int64_t k = 0;
    for (std::size_t i = 0; i < line.text.size(); ++k) {
      const std::size_t size = CodePointSize(line.text, i);
      LyricWord word;
      word.start_ms = static_cast<int>(std::min<std::int64_t>(span * k / count, INT_MAX));
      word.end_ms = static_cast<int>(std::min<std::int64_t>(span * (k + 1) / count, INT_MAX));
      word.text_offset = static_cast<std::uint32_t>(i);
      word.text_size = static_cast<std::uint32_t>(size);
      line.words.push_back(word);
      i += size;
    }
  }
  UpdateSearchable();
  return guessed;
}

namespace {

bool FitsAfterShift(int value, int delta_ms) {
  const std::int64_t moved = static_cast<std::int64_t>(value) + delta_ms;
  return moved >= INT_MIN && moved <= INT_MAX;
}

}  // namespace

bool LyricTimeline::CanShiftLine(std::size_t line, int delta_ms) const {
  return line < lines_.size() && FitsAfterShift(lines_[line].start_ms, delta_ms) &&
         FitsAfterShift(lines_[line].end_ms, delta_ms);
}

void LyricTimeline::ShiftLine(std::size_t line, int delta_ms) {
  lines_[line].start_ms += delta_ms;
  lines_[line].end_ms += delta_ms;
  UpdateSearchable();
}

bool LyricTimeline::CanShiftFrom(std::size_t line, int delta_ms) const {
  if (line >= lines_.size()) return false;
  for (std::size_t i = line; i < lines_.size(); ++i) {
    if (!FitsAfterShift(lines_[i].start_ms, delta_ms)) return false;
    if (i + 1 < lines_.size() && !FitsAfterShift(lines_[i].end_ms, delta_ms)) return false;
  }
  return true;
}

void LyricTimeline::ShiftFrom(std::size_t line, int delta_ms) {
  for (std::size_t i = line; i < lines_.size(); ++i) {
    lines_[i].start_ms += delta_ms;
    if (i + 1 < lines_.size()) lines_[i].end_ms += delta_ms;
  }
  UpdateSearchable();
}

void LyricTimeline::UpdateSearchable() {
  searchable_ = true;
  for (std::size_t i = 0; i + 1 < lines_.size(); ++i) {
    if (lines_[i].start_ms > lines_[i + 1].start_ms || lines_[i].end_ms > lines_[i + 1].start_ms) {
      searchable_ = false;
      return;
    }
  }
}

std::size_t LyricTimeline::LastStartingBy(std::int64_t at_ms) const {
  auto it =
      std::upper_bound(lines_.begin(), lines_.end(), at_ms,
                       [](std::int64_t at, const LyricLine& line) { return at < line.start_ms; });
  return it == lines_.begin() ? lines_.size() : static_cast<std::size_t>(it - lines_.begin()) - 1;
}

std::size_t LyricTimeline::Containing(std::int64_t at_ms) const {
  const auto contains = [&](const LyricLine& line) {
    return line.start_ms <= at_ms && at_ms < line.end_ms;
  };
  if (searchable_) {
    // Lines before the candidate end by its start (<= at_ms), lines after it start later.
    const std::size_t candidate = LastStartingBy(at_ms);
    return candidate < lines_.size() && contains(lines_[candidate]) ? candidate : lines_.size();
  }
  for (const LyricLine& line : lines_) {
    if (contains(line)) return line.index;
  }
  return lines_.size();
}

const LyricLine* LyricTimeline::Find(std::int64_t at_ms) const {
  if (lines_.empty()) return nullptr;
  const std::size_t last = lines_.size() - 1;
  if (searchable_) {
    const std::size_t candidate = LastStartingBy(at_ms);
    if (candidate == lines_.size()) return nullptr;
    if (candidate == last || at_ms < lines_[candidate].end_ms) return &lines_[candidate];
    return nullptr;
  }
  for (const LyricLine& line : lines_) {
    if (line.start_ms <= at_ms && (line.index == last || at_ms < line.end_ms)) return &line;
  }
  return nullptr;
}

bool LyricTimeline::LocateWord(const LyricLine& line, std::int64_t at_ms, LyricPosition& position) {
  const std::int64_t relative = at_ms - line.start_ms;
  // Words are contiguous and ascending, so the only candidate is the last one starting by then.
  auto it =
      std::upper_bound(line.words.begin(), line.words.end(), relative,
                       [](std::int64_t at, const LyricWord& word) { return at < word.start_ms; });
  if (it == line.words.begin()) return false;
  const LyricWord& word = *(it - 1);
  if (relative >= word.end_ms) return false;
  position.word = static_cast<std::size_t>(it - line.words.begin()) - 1;
  position.percent = static_cast<int>((relative - word.start_ms) * 100 /
                                      (static_cast<std::int64_t>(word.end_ms) - word.start_ms));
  return true;
}

std::optional<std::size_t> LyricTimeline::NonBlankBackwards(std::size_t from) const {
  for (std::size_t i = from + 1; i-- > 0;) {
    if (!lines_[i].IsBlank()) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> LyricTimeline::NonBlankForwards(std::size_t from) const {
  for (std::size_t i = from; i < lines_.size(); ++i) {
    if (!lines_[i].IsBlank()) return i;
  }
  return std::nullopt;
}

std::optional<LyricPosition> LyricTimeline::Locate(std::int64_t at_ms, bool skip_empty) const {
  if (lines_.empty()) return std::nullopt;
  const auto last_word = [&](std::size_t line) {
    return lines_[line].words.empty() ? std::size_t{0} : lines_[line].words.size() - 1;
  };

  if (at_ms < lines_.front().start_ms) {
    if (!skip_empty) return LyricPosition{0, 0, 0};
    auto line = NonBlankForwards(0);
    if (!line) return std::nullopt;
    return LyricPosition{*line, 0, 0};
  }

  const std::size_t containing = Containing(at_ms);
  if (containing < lines_.size()) {
    if (skip_empty && lines_[containing].IsBlank()) {
      if (containing > 0) {
        if (auto before = NonBlankBackwards(containing - 1)) {
          return LyricPosition{*before, last_word(*before), 100};
        }
      }
      if (auto after = NonBlankForwards(containing + 1)) return LyricPosition{*after, 0, 0};
      return std::nullopt;
    }
    LyricPosition position{containing, last_word(containing), 100};
    LocateWord(lines_[containing], at_ms, position);
    return position;
  }

  // After the last start, beyond the last end or in a gap: the end of the lyric.
  LyricPosition position{lines_.size() - 1, 0, 100};
  if (skip_empty) {
    auto line = NonBlankBackwards(lines_.size() - 1);
    if (!line) return std::nullopt;
    position = LyricPosition{*line, last_word(*line), 100};
  }
  LocateWord(lines_[position.line], at_ms, position);
  return position;
}

const LyricLine* LyricTimeline::Previous(const LyricLine& line) const {
  return line.index > 0 && line.index < lines_.size() ? &lines_[line.index - 1] : nullptr;
}

const LyricLine* LyricTimeline::Next(const LyricLine& line) const {
  return line.index + 1 < lines_.size() ? &lines_[line.index + 1] : nullptr;
}

}  // namespace quillo::lyrics
