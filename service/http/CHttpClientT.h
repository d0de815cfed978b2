#pragma once
// The HTTP client of one transfer: session settings, request headers and form parameters, GET
// and form-encoded POST. A POST announces its length first (computed with overflow checks) and
// then streams the body parameter by parameter; each parameter's encoded text exists only while
// it is written. Parameters are sent in name order (case-insensitive; equal names in the order
// added), each side URL-encoded (CHttpEncoderW) unless its flag says it already is.
//
// Used by one thread. Every failure throws httpclientexceptionW; whatever the client opened for
// the failed call is closed before the exception leaves. A response owns the handles opened for
// it and may outlive the client; the transport must outlive both.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/http/HttpTransport.h"
#include "service/http/CHttpClientMapT.h"
#include "service/http/CHttpEncoderW.h"
#include "service/http/CHttpPostStatT.h"
#include "service/http/CHttpResponseT.h"
#include "service/http/CHttpToolW.h"

namespace Dravik {

template <typename Tool, typename Encoder>
class CHttpClientT {
 public:
  using Response = CHttpResponseT<Tool>;

  static constexpr const char* kDefaultUserAgent = "Dravik HTTP Client Class";
  // Reload, no cache write, keep-alive, hyperlink, no UI, resynchronise, pragma no-cache.
  static constexpr std::uint32_t kRequestFlagsNoCache = 0x84400F00;
  static constexpr std::uint32_t kRequestFlagsCache = 0x00400E00;
  static constexpr std::uint32_t kPragmaNoCache = 0x00000100;
  static constexpr unsigned kSystemAnsiCodePage = 936;

  explicit CHttpClientT(quillo::http::HttpTransport& transport);
  ~CHttpClientT();
  CHttpClientT(const CHttpClientT&) = delete;
  CHttpClientT& operator=(const CHttpClientT&) = delete;

  // access_type: 0 the system's proxy settings, 1 direct, 3 the named proxy with its bypass list.
  void SetSessionOptions(const char* user_agent, int access_type = 0, const char* proxy = nullptr,
                         const char* proxy_bypass = nullptr, std::uint32_t flags = 0);
  // Applied to every connection when both are non-empty.
  void SetProxyAccount(const char* user, const char* password);
  // Shared abort flag handed to every session this client opens (set from any thread to end a
  // transfer soon).
  void SetAbortFlag(std::shared_ptr<const std::atomic<bool>> abort);
  bool SetUseUtf8(bool use_utf8);  // -> previous value
  // 0 or 936 (GBK, the system ANSI code page); 65001 and 65000 are refused, as is any other.
  void SetAnsiCodePage(unsigned code_page);
  // Sets the index-th header of the name, or adds it. Name and value must be non-empty and hold
  // no CR or LF.
  void SetHeader(const char* name, const char* value, std::size_t index = 0);
  void AddParam(const char* name, const char* value, unsigned flags = 0);
  void ClearParam();
  const CHttpClientMapT& Headers() const { return headers_; }
  const CHttpClientMapT& Params() const { return params_; }

  // Parameters go into the query. The response belongs to the caller.
  std::unique_ptr<Response> SendGet(const char* url, bool use_cache = false);
  // StartPost, then ContinuePost with the largest step until it answers.
  std::unique_ptr<Response> SendPost(const char* url, bool use_cache = false);
  // Opens the request and announces the body length; answers null (the response comes from
  // ContinuePost). The POST context is active until the response is returned, AbortPost, or
  // an exception.
  std::unique_ptr<Response> StartPost(const char* url, bool use_cache = false);
  // One step: ends the request and answers the response when everything is posted; else starts
  // the next parameter ("&", name, "=") or writes up to `desired` bytes of the current value,
  // and answers null.
  std::unique_ptr<Response> ContinuePost(std::size_t desired);
  // Ends an active POST context and closes its handles; nothing otherwise.
  void AbortPost();
  bool IsPostActive() const { return post_request_ != nullptr; }
  const CHttpPostStatT& GetPostStatus() const { return post_stat_; }

 private:
  struct Handles {
    std::unique_ptr<typename Tool::Session> session;
    std::unique_ptr<typename Tool::Connection> connection;
    std::unique_ptr<typename Tool::Request> request;
  };

  Handles OpenRequest(const char* url, const char* verb, bool use_cache);
  void RefuseWhilePosting(const char* where) const;
  std::string EncodeParamName(const CHttpClientMapT::Entry& entry) const;
  std::string EncodeParamValue(const CHttpClientMapT::Entry& entry) const;
  void Write(std::string_view bytes, bool of_value);
  std::unique_ptr<Response> Step(std::size_t desired);

  quillo::http::HttpTransport& transport_;
  quillo::http::SessionOptions session_options_;
  std::string proxy_user_;
  std::string proxy_password_;
  bool use_utf8_ = false;
  unsigned code_page_ = 0;
  CHttpClientMapT headers_;
  CHttpClientMapT params_;

  // The POST context.
  Handles post_;
  typename Tool::Request* post_request_ = nullptr;
  CHttpClientMapT::const_iterator post_next_;
  std::string post_value_;  // the encoded value of the parameter being written
  std::size_t post_value_offset_ = 0;
  CHttpPostStatT post_stat_;
};

using CHttpClient = CHttpClientT<CHttpToolW, CHttpEncoderW>;

extern template class CHttpClientT<CHttpToolW, CHttpEncoderW>;

}  // namespace Dravik
