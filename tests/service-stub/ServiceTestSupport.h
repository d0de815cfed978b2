#pragma once
// Shared pieces of the quillo-service integration tests: a fixture that starts a service with
// the eight-song catalogue for each test, and readers for its answers.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

#include "Descrambler.h"
#include "support/ServiceProcess.h"

namespace quillo::testing {

struct LoginResult {
  HttpAnswer answer;
  std::string xml;     // the descrambled document
  std::string cookie;  // "QSID=..." from Set-Cookie, or empty
  NameValues CookieHeader() const { return {{"Cookie", cookie}}; }
};

// Parses UTF-8 XML; a null pointer when it is not well formed.
std::unique_ptr<TiXmlDocument> ParseXml(const std::string& text);
// The "name=value" part of a Set-Cookie header.
std::string CookieOf(const HttpAnswer& answer);
std::string ReadFile(const std::string& path);

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service_.Start()) << service_.error(); }

  LoginResult Login(const std::string& name, const std::string& password);
  // The descrambled, parsed answer of a login-type call.
  std::unique_ptr<TiXmlDocument> LoginDocument(const std::string& name, const std::string& password);
  const ServiceSong& Song(const std::string& id);
  const std::vector<ServiceSong>& Songs();

  ServiceProcess service_;

 private:
  std::vector<ServiceSong> songs_;
};

// Children elements of an element, in order.
std::vector<const TiXmlElement*> Children(const TiXmlElement* parent);
// Attribute text, empty when missing.
std::string Attr(const TiXmlElement* element, const char* name);
// The login answer's library ids, and its playlists as (id, name, item ids).
std::vector<std::string> LibraryIds(const TiXmlDocument& login);
struct AnswerPlaylist {
  std::string id, name;
  std::vector<std::string> items;
};
std::vector<AnswerPlaylist> Playlists(const TiXmlDocument& login);

}  // namespace quillo::testing
