#include "service/http/CHttpToolW.h"

#include "service/http/httpclientexceptionW.h"

namespace Dravik {
namespace {

template <typename Handle>
Handle* Checked(Handle* handle, const char* where, const char* name) {
  if (handle == nullptr) ThrowArgumentError(where, name, "can not be NULL.");
  return handle;
}

}  // namespace

std::unique_ptr<CHttpToolW::Session> CHttpToolW::OpenSession(
    quillo::http::HttpTransport& transport, const quillo::http::SessionOptions& options) {
  auto session = transport.OpenSession(options);
  if (!session) throw httpclientexceptionW(kOpenFailed);
  return session;
}

std::unique_ptr<CHttpToolW::Connection> CHttpToolW::Connect(Session* session, std::string_view host,
                                                            unsigned port, bool secure) {
  auto connection =
      Checked(session, "CHttpToolW::Connect", "hInternet")->Connect(host, port, secure);
  if (!connection) throw httpclientexceptionW(kConnectFailed, session->LastError());
  return connection;
}

std::unique_ptr<CHttpToolW::Request> CHttpToolW::OpenRequest(Connection* connection,
                                                             std::string_view verb,
                                                             std::string_view object,
                                                             std::uint32_t flags) {
  Checked(connection, "CHttpToolW::OpenRequest", "hConnect");
  if (verb.empty())
    ThrowArgumentError("CHttpToolW::OpenRequest", "szVerb", "can not be an empty string.");
  auto request = connection->OpenRequest(verb, object, flags);
  if (!request) throw httpclientexceptionW(kOpenRequestFailed, connection->LastError());
  return request;
}

void CHttpToolW::SetProxyCredentials(Connection* connection, std::string_view user,
                                     std::string_view password) {
  if (!Checked(connection, "CHttpToolW::SetProxyCredentials", "hConnect")
           ->SetProxyCredentials(user, password)) {
    throw httpclientexceptionW(kSetOptionFailed, connection->LastError());
  }
}

void CHttpToolW::AddRequestHeaders(Request* request, std::string_view lines) {
  if (!Checked(request, "CHttpToolW::AddRequestHeaders", "hRequest")->AddHeaders(lines)) {
    throw httpclientexceptionW(kAddHeadersFailed, request->LastError());
  }
}

void CHttpToolW::SendRequest(Request* request) {
  if (!Checked(request, "CHttpToolW::SendRequest", "hRequest")->Send()) {
    throw httpclientexceptionW(kSendRequestFailed, request->LastError());
  }
}

void CHttpToolW::SendRequestEx(Request* request, std::uint64_t length) {
  if (!Checked(request, "CHttpToolW::SendRequestEx", "hRequest")->BeginSend(length)) {
    throw httpclientexceptionW(kSendRequestExFailed, request->LastError());
  }
}

void CHttpToolW::WriteBody(Request* request, std::string_view bytes) {
  if (!Checked(request, "CHttpToolW::WriteBody", "hRequest")->WriteBody(bytes)) {
    throw httpclientexceptionW(kWriteFileFailed, request->LastError());
  }
}

void CHttpToolW::EndRequest(Request* request) {
  if (!Checked(request, "CHttpToolW::EndRequest", "hRequest")->EndRequest()) {
    throw httpclientexceptionW(kEndRequestFailed, request->LastError());
  }
}

unsigned CHttpToolW::QueryStatus(Request* request) {
  const unsigned status = Checked(request, "CHttpToolW::QueryStatus", "hRequest")->Status();
  if (status == 0) throw httpclientexceptionW(kQueryInfoFailed, request->LastError());
  return status;
}

std::optional<std::string> CHttpToolW::QueryHeader(Request* request, std::string_view name,
                                                   std::size_t index) {
  return Checked(request, "CHttpToolW::QueryHeader", "hRequest")->Header(name, index);
}

std::size_t CHttpToolW::ReadBody(Request* request, char* buffer, std::size_t size) {
  Checked(request, "CHttpToolW::ReadBody", "hRequest");
  Checked(buffer, "CHttpToolW::ReadBody", "pBuffer");
  const std::ptrdiff_t count = request->Read(buffer, size);
  if (count < 0) throw httpclientexceptionW(kReadFileFailed, request->LastError());
  return static_cast<std::size_t>(count);
}

void CHttpToolW::SetReceiveTimeout(Request* request, std::chrono::milliseconds timeout) {
  Checked(request, "CHttpToolW::SetReceiveTimeout", "hRequest");
  if (timeout.count() <= 0) throw httpclientexceptionW(kSetOptionFailed);
  request->SetReceiveTimeout(timeout);
}

}  // namespace Dravik
