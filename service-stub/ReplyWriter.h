#pragma once
// Turns a Reply and the fault plan for it into the HTTP answer: scrambles documents, applies
// the faults, and streams bodies in 16 KB pieces (file slices are never read whole), honouring
// throttling and dropped connections. Called on the request's thread.
#include <httplib.h>

#include "service-stub/FaultRules.h"
#include "service-stub/Reply.h"

namespace quillo::stub {

class ReplyWriter {
 public:
  // `always_omit_length`: the --no-content-length switch.
  explicit ReplyWriter(bool always_omit_length) : always_omit_length_(always_omit_length) {}

  void Write(const httplib::Request& request, httplib::Response& response, Reply reply,
             const FaultPlan& plan) const;

  // The document after the "malformed_xml" rule: cut in the middle and left with an open tag.
  static std::string Malform(const std::string& document);
  // A Content-Range that names the wrong first byte and the wrong total.
  static std::string Falsify(const std::string& content_range);

 private:
  bool always_omit_length_;
};

}  // namespace quillo::stub
