#pragma once
// Forward declarations of the lyric subsystem's types, for headers that only pass them on.
namespace quillo::lyrics {

struct LyricWord;
struct LyricLine;
struct LyricPosition;
class LyricTimeline;
class LyricDocument;
class LyricAnalyzer;
class LyricPlayerInfo;
class LyricSavePrompt;

}  // namespace quillo::lyrics
