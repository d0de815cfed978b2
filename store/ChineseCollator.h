#pragma once
// Orders text the way a Chinese (PRC) reader expects: Chinese characters by their pinyin, mixed
// with Latin text, through ICU's "zh" collation. One object per sort; not shared between threads.
#include <memory>
#include <string>
#include <string_view>

namespace quillo::store {

class ChineseCollator {
 public:
  ChineseCollator();
  ~ChineseCollator();
  ChineseCollator(const ChineseCollator&) = delete;
  ChineseCollator& operator=(const ChineseCollator&) = delete;

  // A byte string whose byte order is the collation order of the text (comparing keys is much
  // cheaper than comparing texts when many are sorted).
  std::string SortKey(std::string_view utf8) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillo::store
