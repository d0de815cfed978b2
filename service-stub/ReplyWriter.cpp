#include "service-stub/ReplyWriter.h"

#include <chrono>
#include <cstdio>
#include <memory>

#include "service-stub/Scrambler.h"
#include "service-stub/ShutdownSignal.h"

namespace quillo::stub {
namespace {

constexpr std::size_t kPieceBytes = 16384;

// The body source and the fault state of one answer, shared by the provider's calls.
struct BodyStream {
  std::string text;
  std::FILE* file = nullptr;
  std::uint64_t file_offset = 0;
  std::uint64_t length = 0;
  bool xor_5a = false;
  std::optional<std::int64_t> drop_after;
  std::optional<std::int64_t> bytes_per_second;
  std::uint64_t sent = 0;
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
  std::string piece;

  ~BodyStream() {
    if (file) std::fclose(file);
  }

  // Writes the next piece; false ends the answer by dropping the connection.
  bool WriteNext(httplib::DataSink& sink, std::uint64_t max_bytes) {
    if (ShutdownSignal::Instance().triggered()) return false;
    std::uint64_t count = std::min<std::uint64_t>({kPieceBytes, max_bytes, length - sent});
    if (drop_after) {
      if (sent >= static_cast<std::uint64_t>(*drop_after)) return false;
      count = std::min<std::uint64_t>(count, static_cast<std::uint64_t>(*drop_after) - sent);
    }
    if (bytes_per_second) {
      // Small pieces keep a throttled answer smooth: about twenty a second.
      count = std::min<std::uint64_t>(count, std::max<std::int64_t>(1, *bytes_per_second / 20));
    }
    if (count == 0) return false;
    piece.resize(count);
    if (file) {
      if (std::fseek(file, static_cast<long>(file_offset + sent), SEEK_SET) != 0 ||
          std::fread(piece.data(), 1, count, file) != count) {
        return false;
      }
    } else {
      piece.assign(text, sent, count);
    }
    if (xor_5a) XorInPlace(piece, 0x5A);
    if (!sink.write(piece.data(), piece.size())) return false;
    sent += count;
    if (bytes_per_second) {
      const auto due = started + std::chrono::milliseconds(
                                     static_cast<std::int64_t>(sent * 1000 / *bytes_per_second));
      const auto now = std::chrono::steady_clock::now();
      if (due > now &&
          !ShutdownSignal::Instance().SleepFor(
              std::chrono::duration_cast<std::chrono::milliseconds>(due - now))) {
        return false;
      }
    }
    return true;
  }
};

}  // namespace

std::string ReplyWriter::Malform(const std::string& document) {
  return document.substr(0, document.size() / 2) + "<broken attr=\"";
}

std::string ReplyWriter::Falsify(const std::string& content_range) {
  unsigned long long first = 0, last = 0, total = 0;
  if (std::sscanf(content_range.c_str(), "bytes %llu-%llu/%llu", &first, &last, &total) == 3) {
    return "bytes " + std::to_string(first + 1) + "-" + std::to_string(last) + "/" +
           std::to_string(total + 1000);
  }
  return "bytes 1-1/1";
}

void ReplyWriter::Write(const httplib::Request& request, httplib::Response& response, Reply reply,
                        const FaultPlan& plan) const {
  // Ranges are answered by the handlers themselves (so that rules can falsify them); the
  // library must not apply them a second time. The request object belongs to the library's
  // connection loop and is not const there.
  const_cast<httplib::Request&>(request).ranges.clear();

  if (plan.delay_ms > 0) {
    ShutdownSignal::Instance().SleepFor(std::chrono::milliseconds(plan.delay_ms));
  }
  if (reply.is_document && plan.malformed_xml) reply.body = Malform(reply.body);
  if (reply.scramble && !plan.unscrambled) reply.body = ScrambleText(reply.body);
  if (plan.status) {
    reply.status = *plan.status;
    if (plan.status_body) {
      reply.body = *plan.status_body;
      reply.file_path.clear();
      reply.content_type = "text/html; charset=utf-8";
    }
  }
  if (plan.content_range) {
    const std::string current = reply.Header("Content-Range");
    reply.SetHeader("Content-Range", plan.content_range->empty() ? Falsify(current) : *plan.content_range);
  }

  auto stream = std::make_shared<BodyStream>();
  stream->length = reply.Length();
  if (plan.cut_bytes) stream->length = std::min<std::uint64_t>(stream->length, *plan.cut_bytes);
  stream->xor_5a = reply.xor_5a;
  stream->drop_after = plan.drop_after_bytes;
  stream->bytes_per_second = plan.throttle_bytes_per_second;
  if (reply.HasFile()) {
    stream->file = std::fopen(reply.file_path.c_str(), "rb");
    stream->file_offset = reply.file_offset;
    if (!stream->file) {
      response.status = 500;
      response.set_content("<html><body>文件暂时无法读取</body></html>", "text/html; charset=utf-8");
      return;
    }
  } else {
    stream->text = std::move(reply.body);
  }

  response.status = reply.status;
  for (const auto& [name, value] : reply.headers) response.set_header(name, value);

  const bool omit_length = always_omit_length_ || plan.no_content_length;
  if (omit_length) {
    // The body ends when the connection closes.
    response.set_header("Connection", "close");
    response.set_content_provider(
        reply.content_type, [stream](std::size_t, httplib::DataSink& sink) {
          if (stream->sent >= stream->length) {
            sink.done();
            return true;
          }
          return stream->WriteNext(sink, kPieceBytes);
        });
    return;
  }
  if (stream->length == 0) {
    response.set_content(std::string(), reply.content_type);
    return;
  }
  response.set_content_provider(
      static_cast<std::size_t>(stream->length), reply.content_type,
      [stream](std::size_t, std::size_t length, httplib::DataSink& sink) {
        return stream->WriteNext(sink, length);
      });
}

}  // namespace quillo::stub
