#pragma once
// What a second instance says to the running one over the hand-over socket, and the frames that
// carry it. One connection carries one request frame and, once the running instance has handled
// it, one answer frame.
//
// Frame: the magic "QLHO", the kind (32 bits, little-endian), the payload length in bytes (32
// bits, little-endian), the payload. A command line (kind 13, as the copy-data tag) is UTF-16LE
// without terminator, so its length is twice its number of UTF-16 units; the other kinds have
// no payload. Nothing a peer sends is trusted: FrameReader rejects a wrong magic or an oversized
// length before reading on, and DecodeRequest rejects unknown kinds and payloads that do not
// fit their kind.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::ipc {

enum class HandOverKind : std::uint32_t {
  kActivate = 1,          // show the main window in its normal state and bring it to the front
  kQuit = 2,              // end the program in the orderly way
  kCommandLine = 13,      // the forwarded command line
  kHandled = 0x80000001,  // the answer: the running instance has handled the request
};

struct HandOverMessage {
  HandOverKind kind = HandOverKind::kActivate;
  std::string command_line;  // UTF-8; only for kCommandLine
  bool operator==(const HandOverMessage&) const = default;
};

inline constexpr std::string_view kFrameMagic = "QLHO";
inline constexpr std::size_t kFrameHeaderBytes = 12;
// Far above the longest command line a desktop passes (32767 UTF-16 units on the other system).
inline constexpr std::size_t kMaxPayloadBytes = 64 * 1024;

std::string EncodeFrame(HandOverKind kind, std::string_view payload);
// The request's frame; the command line is converted to UTF-16LE.
std::string EncodeRequest(const HandOverMessage& message);
// A request from a frame's kind and payload, or none when they do not make a valid request
// (unknown kind, a payload where none belongs, an empty or odd-length command line).
std::optional<HandOverMessage> DecodeRequest(std::uint32_t kind, std::string_view payload);

// Collects one frame from bytes that arrive in pieces of any size.
class FrameReader {
 public:
  enum class State { kNeedMore, kComplete, kMalformed };

  explicit FrameReader(std::size_t max_payload_bytes = kMaxPayloadBytes)
      : max_payload_bytes_(max_payload_bytes) {}

  // Takes as many of the bytes as the frame still needs and answers how many it took (bytes
  // after a complete frame are left for the caller). Once complete or malformed, takes nothing.
  std::size_t Feed(std::string_view bytes);
  State state() const { return state_; }
  // How many more bytes the frame needs at least (0 when complete or malformed).
  std::size_t BytesWanted() const;

  std::uint32_t kind() const { return kind_; }
  const std::string& payload() const { return payload_; }

 private:
  std::size_t max_payload_bytes_;
  State state_ = State::kNeedMore;
  std::string header_;
  std::string payload_;
  std::uint32_t kind_ = 0;
  std::uint32_t length_ = 0;
};

}  // namespace quillo::ipc
