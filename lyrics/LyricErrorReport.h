#pragma once
// The lyric error report dialog's texts and its sending rule. The dialog itself belongs to the
// interface layer; on "确定" it hands its check boxes and edit text to SendLyricErrorReport.
// Window thread.
#include <array>
#include <string_view>

namespace quillo::lyrics {

class LyricAnalyzer;

inline constexpr const char* kLyricErrorReportTitle = "歌词纠错";
inline constexpr const char* kLyricErrorReportText = "感谢您对我们的支持，请选择出错类型：";
// The check boxes in order; a box's position is the error type it reports.
inline constexpr std::array<const char*, 4> kLyricErrorTypes = {
    "歌词和歌曲不匹配", "歌词和歌曲不同步", "歌词里有垃圾信息", "其他"};
inline constexpr std::size_t kOtherErrorType = 3;
inline constexpr const char* kLyricErrorReportOk = "确定";
inline constexpr const char* kLyricErrorReportCancel = "取消";

// One report per checked box, in box order; only "其他" carries `other_text`, the others send an
// empty comment. Answers how many reports were sent.
int SendLyricErrorReport(LyricAnalyzer& analyzer, const std::array<bool, 4>& checked,
                         std::string_view other_text);

}  // namespace quillo::lyrics
