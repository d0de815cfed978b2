#include "platform/web/BridgeProtocol.h"

#include <gtest/gtest.h>

namespace quillo::web::bridge {
namespace {

TEST(BridgeProtocolTest, JsonQuoteEscapesWhatAScriptLiteralCannotHold) {
  EXPECT_EQ(JsonQuote("plain"), "\"plain\"");
  EXPECT_EQ(JsonQuote("a\"b\\c\n\t"), "\"a\\\"b\\\\c\\n\\t\"");
  EXPECT_EQ(JsonQuote(std::string("\x01", 1)), "\"\\u0001\"");
  EXPECT_EQ(JsonQuote("</script>"), "\"\\u003c/script>\"");
  EXPECT_EQ(JsonQuote("\xE2\x80\xA8"), "\"\\u2028\"");
  EXPECT_EQ(JsonQuote("中文"), "\"中文\"");
  // Broken UTF-8: a stray continuation byte, a cut sequence, an overlong '/', a surrogate.
  EXPECT_EQ(JsonQuote("a\x80z"), "\"a\xEF\xBF\xBDz\"");
  EXPECT_EQ(JsonQuote("\xE4\xB8"), "\"\xEF\xBF\xBD\"");
  EXPECT_EQ(JsonQuote("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
  EXPECT_EQ(JsonQuote("\xED\xA0\x80"), "\"\xEF\xBF\xBD\"");
}

TEST(BridgeProtocolTest, RequestRoundTripsThroughItsJson) {
  BridgeRequest request{"tok", "GetConfig", {"键", "", "a\"b\\c\nd", "</x>"}};
  auto parsed = ParseBridgeRequest(BridgeRequestJson(request));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->token, "tok");
  EXPECT_EQ(parsed->method, "GetConfig");
  EXPECT_EQ(parsed->args, request.args);
}

TEST(BridgeProtocolTest, RequestParsingTakesWhatBrowsersWriteAndNothingElse) {
  // As JSON.stringify writes it, with escapes a browser may choose, in another member order.
  auto parsed = ParseBridgeRequest(
      R"( { "args" : [ "\u4e2d\ud83c\udfb5", "\/" ] , "method":"M", "token":"t" } )");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->args, (std::vector<std::string>{"中🎵", "/"}));
  EXPECT_TRUE(ParseBridgeRequest(R"({"token":"t","method":"M","args":[]})"));
  // A lone surrogate becomes U+FFFD instead of invalid UTF-8.
  auto lone = ParseBridgeRequest(R"({"token":"t","method":"M","args":["\ud800x"]})");
  ASSERT_TRUE(lone);
  EXPECT_EQ(lone->args[0], "\xEF\xBF\xBDx");

  for (const char* bad : {
           "",
           "{}",
           R"({"token":"t","method":"M"})",                        // args missing
           R"({"token":"t","method":"M","args":[1]})",             // a number
           R"({"token":"t","method":"M","args":["a",]})",          // trailing comma
           R"({"token":"t","method":"M","args":[],"x":"y"})",      // unknown member
           R"({"token":"t","token":"u","method":"M","args":[]})",  // repeated member
           R"({"token":"t","method":"M","args":[]} x)",            // trailing text
           R"({"token":"t","method":"M","args":["\x"]})",          // bad escape
           "{\"token\":\"t\n\",\"method\":\"M\",\"args\":[]}",     // raw control character
           R"({"token":"t","method":"M","args":["unterminated])",
       }) {
    EXPECT_FALSE(ParseBridgeRequest(bad)) << bad;
  }
}

TEST(BridgeProtocolTest, AnswersCarryTheirKind) {
  EXPECT_EQ(BridgeAnswerJson(BridgeValue::Void()), R"({"kind":"void"})");
  EXPECT_EQ(BridgeAnswerJson(BridgeValue::String("a\"b")), R"({"kind":"string","value":"a\"b"})");
  EXPECT_EQ(BridgeAnswerJson(BridgeValue::Bool(true)), R"({"kind":"bool","value":true})");
  EXPECT_EQ(BridgeAnswerJson(BridgeValue::Bool(false)), R"({"kind":"bool","value":false})");
}

TEST(BridgeProtocolTest, OriginsCompareSchemeHostAndPort) {
  EXPECT_EQ(OriginOf("http://127.0.0.1:8080/music/?a=b#c"), "http://127.0.0.1:8080");
  EXPECT_EQ(OriginOf("HTTP://Example.COM:80/x"), "http://example.com");
  EXPECT_EQ(OriginOf("https://user:pw@host:443"), "https://host");
  EXPECT_EQ(OriginOf("http://[::1]:81/"), "http://[::1]:81");
  EXPECT_EQ(OriginOf("http://host:8x/"), "");
  EXPECT_EQ(OriginOf("about:blank"), "");
  EXPECT_EQ(OriginOf("quillo-page:///a.html"), "");

  const std::vector<std::string> trusted{"http://127.0.0.1:8080", "https://Service.example/"};
  EXPECT_TRUE(IsTrustedUrl("http://127.0.0.1:8080/go.php", trusted));
  EXPECT_TRUE(IsTrustedUrl("https://service.example:443/music/", trusted));
  EXPECT_TRUE(IsTrustedUrl("quillo-page:///downloaddlg.html", trusted));
  EXPECT_FALSE(IsTrustedUrl("http://127.0.0.1:8081/go.php", trusted));   // another port
  EXPECT_FALSE(IsTrustedUrl("https://127.0.0.1:8080/go.php", trusted));  // another scheme
  EXPECT_FALSE(IsTrustedUrl("http://127.0.0.1.evil:8080/", trusted));
  EXPECT_FALSE(IsTrustedUrl("http://evil@127.0.0.2:8080/", trusted));
  EXPECT_FALSE(IsTrustedUrl("file:///etc/passwd", trusted));
  EXPECT_FALSE(IsTrustedUrl("", trusted));
  EXPECT_FALSE(IsTrustedUrl("ftp://127.0.0.1:8080/", {"ftp://127.0.0.1:8080"}));
}

TEST(BridgeProtocolTest, OnlyWebAndBuiltInAddressesMayBeShown) {
  for (const char* ok :
       {"http://a/", "HTTPS://a/", "quillo-page:///x.html", "about:blank", "data:text/html,x"}) {
    EXPECT_TRUE(IsAllowedNavigation(ok)) << ok;
  }
  for (const char* refused : {"file:///etc/passwd", "FILE:///x", "ftp://a/", "javascript:1",
                              "quillo-bridge://call/", "smb://server/share", ""}) {
    EXPECT_FALSE(IsAllowedNavigation(refused)) << refused;
  }
}

TEST(BridgeProtocolTest, BuiltInAddressesAndScriptPatterns) {
  EXPECT_EQ(BuiltInUrl("img/a.png"), "quillo-page:///img/a.png");
  EXPECT_EQ(BuiltInNameOfPath("/img/a.png"), "img/a.png");
  EXPECT_EQ(BuiltInNameOfPath("//common.js"), "common.js");
  EXPECT_EQ(
      ScriptAllowList(
          {"http://127.0.0.1:8080", "http://127.0.0.1:9090/", "https://[::1]:5/", "nonsense"}),
      (std::vector<std::string>{"quillo-page://*/*", "http://127.0.0.1/*", "https://[::1]/*"}));
}

TEST(BridgeProtocolTest, ScriptsCarryTheirTextsAsLiterals) {
  const std::string script =
      ExternalScript("tok\"en", {"GetConfig", "A'B"}, {"http://127.0.0.1:80"});
  EXPECT_NE(script.find(R"(var token = "tok\"en";)"), std::string::npos);
  EXPECT_NE(script.find(R"(var names = ["GetConfig","A'B"];)"), std::string::npos);
  // Origins are kept as the page's location.origin writes them.
  EXPECT_NE(script.find(R"(var trusted = ["http://127.0.0.1"];)"), std::string::npos);
  const std::string call = CallFunctionScript("f\"n", {"</script>", "x"});
  EXPECT_NE(call.find(R"(window["f\"n"])"), std::string::npos);
  EXPECT_NE(call.find(R"(["\u003c/script>","x"])"), std::string::npos);
}

}  // namespace
}  // namespace quillo::web::bridge
