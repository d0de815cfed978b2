#include "ui/main/CaptionMarquee.h"

namespace quillo::ui {
namespace {

// Malformed bytes become U+FFFD, so a bad title never cuts a character in half.
std::u32string Decode(const std::string& utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    char32_t cp = length == 1   ? c
                  : length == 2 ? (c & 0x1F)
                  : length == 3 ? (c & 0x0F)
                                : (c & 0x07);
    bool ok = length != 0 && i + length <= utf8.size();
    for (int k = 1; ok && k < length; ++k) {
      const unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
      ok = (cc & 0xC0) == 0x80;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += length;
  }
  return out;
}

std::string Encode(const std::u32string& text) {
  std::string out;
  for (char32_t cp : text) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace

void CaptionMarquee::SetTitle(std::string title) {
  title_ = Decode(title);
  counter_ = 0;
}

void CaptionMarquee::Start() {
  running_ = true;
  counter_ = 0;
}

void CaptionMarquee::Stop() {
  running_ = false;
}

std::string CaptionMarquee::Tick() {
  if (running_ && !title_.empty()) {
    const int length = static_cast<int>(title_.size()) + 2;
    if (++counter_ >= length) counter_ = 0;
  }
  return Caption();
}

std::string CaptionMarquee::Caption() const {
  if (title_.empty()) return kProductCaption;
  if (!running_) return Encode(title_);
  const std::u32string once = title_ + U"  ";
  return Encode((once + once).substr(static_cast<std::size_t>(counter_)));
}

}  // namespace quillo::ui
