#include "service-stub/BridgeProbe.h"

#include "service-stub/Answers.h"
#include "service-stub/HtmlPage.h"

namespace quillo::stub {
namespace {

// Every method a hosted window offers its pages; finding any one of them counts.
constexpr char kMethods[] =
    "['WindowMax','WindowClose','WindowMin','WindowRestore','WindowStartMove','WindowEndMove',"
    "'EnableResize','OpenUrl','GetConfig','SetConfig','CheckConfig','AddDownload','Tryout','Login',"
    "'OnUserLogin','OnUserLogout','GetLoginUser','ShowLoading','HideLoading','OnLoad','Cancel',"
    "'OpenMusicFile','OpenLyricFile','GetMusicName','GetArtistName','UploadMusic','UploadLyric',"
    "'AddMusic','GoToUrl']";

// The calls are the ones a hostile page would want most: reading the user and the settings,
// and adding songs. Each one that returns without throwing counts as called.
constexpr char kScript[] = R"js(
function probe() {
  // A page that shows a message box first: in the program nothing shows and the page goes on.
  try { alert('外部页面检查'); } catch (e) {}
  var found = [];
  try {
    var external = window.external;
    if (external) {
      METHODS.forEach(function (name) {
        if (typeof external[name] === 'function') found.push(name);
      });
    }
  } catch (e) {}
  var called = 0;
  var attempts = [
    function () { return window.external.GetLoginUser(); },
    function () { return window.external.GetConfig('sorvel.currentuser', ''); },
    function () { return window.external.AddDownload(SONG_XML); }
  ];
  attempts.forEach(function (attempt) {
    try {
      attempt();
      called = 1;
    } catch (e) {}
  });
  var text = document.getElementById('result');
  text.textContent = (found.length ? '找到了 window.external 的方法：' + found.join(', ')
                                   : '没有找到 window.external 的方法。') +
                     (called ? ' 调用成功了。' : ' 调用没有成功。');
  var report = MAIN + 'api/bridge_probe.php?found=' + (found.length ? 1 : 0) + '&called=' + called +
               '&methods=' + encodeURIComponent(found.join(','));
  var done = function () { document.getElementById('reported').textContent = '已报告。'; };
  if (window.fetch) {
    fetch(report, {mode: 'no-cors', cache: 'no-store'}).then(done, done);
  } else {
    var image = new Image();
    image.onload = image.onerror = done;
    image.src = report;
  }
}
window.addEventListener('load', probe);
)js";

Reply ProbePage(ServiceContext& context, const Call&) {
  std::string song_xml = "<list/>";
  if (!context.catalogue.songs().empty()) {
    song_xml = ListDocument(context.catalogue, "", "", {context.catalogue.songs().front().id}).PrintDocument();
  }
  Reply reply;
  reply.content_type = "text/html; charset=utf-8";
  reply.SetHeader("Cache-Control", "no-store");
  reply.body = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
               "<title>外部页面检查</title></head><body>"
               "<h1>外部页面检查</h1><p>这个页面不属于Zelbo音乐的网站，不应当能调用客户端。</p>"
               "<p id=\"result\">正在检查……</p><p id=\"reported\"></p><script>var METHODS = " +
               std::string(kMethods) + ";\nvar MAIN = " + JsString(context.base_url) +
               ";\nvar SONG_XML = " + JsString(song_xml) + ";\n" + kScript + "</script></body></html>\n";
  return reply;
}

bool IsFlag(const std::string& value) { return value == "0" || value == "1"; }

Reply ProbeReport(ServiceContext&, const Call& call) {
  if (!IsFlag(call.ParamOr("found")) || !IsFlag(call.ParamOr("called"))) {
    return ErrorResult(400, "found 和 called 应为 0 或 1");
  }
  Reply reply = OkResult();
  reply.SetHeader("Cache-Control", "no-store");
  return reply;
}

}  // namespace

void RegisterBridgeProbePage(Router& upload_router) {
  upload_router.Add("GET", "/bridge_probe.html", ProbePage);
}

void RegisterBridgeProbeReport(Router& main_router) {
  main_router.Add("GET", "/api/bridge_probe.php", ProbeReport);
}

}  // namespace quillo::stub
