#include "platform/ipc/HandOverMessage.h"

#include <algorithm>

#include "platform/text/TextCodec.h"

namespace quillo::ipc {
namespace {

void AppendLe32(std::string& bytes, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t ReadLe32(std::string_view bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

}  // namespace

std::string EncodeFrame(HandOverKind kind, std::string_view payload) {
  std::string frame(kFrameMagic);
  AppendLe32(frame, static_cast<std::uint32_t>(kind));
  AppendLe32(frame, static_cast<std::uint32_t>(payload.size()));
  frame += payload;
  return frame;
}

std::string EncodeRequest(const HandOverMessage& message) {
  if (message.kind == HandOverKind::kCommandLine) {
    return EncodeFrame(message.kind, text::Utf8ToUtf16LeBytes(message.command_line));
  }
  return EncodeFrame(message.kind, {});
}

std::optional<HandOverMessage> DecodeRequest(std::uint32_t kind, std::string_view payload) {
  switch (static_cast<HandOverKind>(kind)) {
    case HandOverKind::kActivate:
    case HandOverKind::kQuit:
      if (!payload.empty()) return std::nullopt;
      return HandOverMessage{static_cast<HandOverKind>(kind), {}};
    case HandOverKind::kCommandLine:
      if (payload.empty() || payload.size() % 2 != 0) return std::nullopt;
      // Bad surrogates become U+FFFD: the text is always well-formed UTF-8 afterwards.
      return HandOverMessage{HandOverKind::kCommandLine, text::Utf16LeBytesToUtf8(payload)};
    default:
      return std::nullopt;
  }
}

std::size_t FrameReader::Feed(std::string_view bytes) {
  std::size_t taken = 0;
  while (state_ == State::kNeedMore && taken < bytes.size()) {
    if (header_.size() < kFrameHeaderBytes) {
      std::size_t count = std::min(kFrameHeaderBytes - header_.size(), bytes.size() - taken);
      header_.append(bytes.substr(taken, count));
      taken += count;
      // Reject a stranger at its first wrong byte instead of waiting for a whole header.
      std::size_t magic_bytes = std::min(header_.size(), kFrameMagic.size());
      if (header_.compare(0, magic_bytes, kFrameMagic.substr(0, magic_bytes)) != 0) {
        state_ = State::kMalformed;
        break;
      }
      if (header_.size() < kFrameHeaderBytes) continue;
      kind_ = ReadLe32(std::string_view(header_).substr(4, 4));
      length_ = ReadLe32(std::string_view(header_).substr(8, 4));
      if (length_ > max_payload_bytes_) {
        state_ = State::kMalformed;
        break;
      }
      payload_.reserve(length_);
    } else {
      std::size_t count = std::min<std::size_t>(length_ - payload_.size(), bytes.size() - taken);
      payload_.append(bytes.substr(taken, count));
      taken += count;
    }
    if (header_.size() == kFrameHeaderBytes && payload_.size() == length_)
      state_ = State::kComplete;
  }
  // A frame without payload is complete as soon as its header is.
  if (state_ == State::kNeedMore && header_.size() == kFrameHeaderBytes &&
      payload_.size() == length_) {
    state_ = State::kComplete;
  }
  return taken;
}

std::size_t FrameReader::BytesWanted() const {
  if (state_ != State::kNeedMore) return 0;
  if (header_.size() < kFrameHeaderBytes) return kFrameHeaderBytes - header_.size();
  return length_ - payload_.size();
}

}  // namespace quillo::ipc
