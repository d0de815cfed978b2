#include "service-stub/UploadPage.h"

#include "service-stub/HtmlPage.h"

namespace quillo::stub {
namespace {

// The host's answers are read as the program reads them: the id between "id:'" and "'}", the
// bytes held after "file_length:". A chunk that gains nothing counts against five attempts.
constexpr char kScript[] = R"js(
function uploadStatus(text, kind) {
  var status = document.getElementById('upload-status');
  status.textContent = text;
  status.className = kind || '';
}
function uploadFile() {
  var input = document.getElementById('upload-file');
  var file = input.files && input.files[0];
  if (!file) {
    uploadStatus('请先选择要上传的文件。', 'error');
    return false;
  }
  var button = document.getElementById('upload-button');
  button.disabled = true;
  var host = UPLOAD_HOST + 'api/upload.php?action=';
  var id = '', offset = 0, attempts = 5;
  function text(response) { return response.text(); }
  function next() {
    if (offset >= file.size) {
      return fetch(host + 'end&id=' + id).then(function () {
        uploadStatus('上传完成：服务器收到了 ' + offset + ' 字节，谢谢您的分享！', 'notice');
      });
    }
    var chunk = file.slice(offset, offset + 1024000);
    return fetch(host + 'send&id=' + id + '&seek=' + offset, {method: 'POST', body: chunk})
        .then(text).then(function (answer) {
          var match = /file_length:(\d+)/.exec(answer);
          var held = match ? Number(match[1]) : 0;
          if (held === offset && --attempts < 0) throw new Error('服务器不再接收数据');
          offset = held;
          uploadStatus('正在上传：' + offset + ' / ' + file.size + ' 字节（' +
                       Math.floor(offset * 100 / Math.max(file.size, 1)) + '%）');
          return next();
        });
  }
  uploadStatus('正在连接上传服务器……');
  fetch(host + 'start').then(text).then(function (answer) {
    var start = answer.indexOf("id:'");
    var end = start < 0 ? -1 : answer.indexOf("'}", start + 4);
    if (end < 0) throw new Error('没有得到上传编号');
    id = answer.substring(start + 4, end);
    return next();
  }).catch(function (error) {
    uploadStatus('上传失败：' + error.message, 'error');
  }).then(function () {
    button.disabled = false;
  });
  return false;
}
if (zelboHosted('AddDownload')) {
  document.getElementById('upload-hosted').style.display = 'block';
}
)js";

Reply UploadPage(ServiceContext& context, const Call&) {
  const std::string body =
      "<p id=\"upload-hosted\" class=\"notice\" style=\"display: none\">在Zelbo音乐客户端中，"
      "请在歌词窗口的菜单中选择“上传歌词”，为正在播放的歌曲上传歌曲或歌词文件。</p>"
      "<form class=\"box\" onsubmit=\"return uploadFile()\">"
      "<label>歌曲文件（MP3、WMA）或歌词文件（LRC、KSC）</label>"
      "<input id=\"upload-file\" type=\"file\" accept=\".mp3,.wma,.lrc,.ksc\">"
      "<p><button id=\"upload-button\" type=\"submit\">上传</button></p>"
      "<p id=\"upload-status\"></p></form>";
  Reply reply;
  reply.content_type = "text/html; charset=utf-8";
  reply.body = HtmlPage("上传歌曲和歌词", body,
                        "var UPLOAD_HOST = " + JsString(context.upload_url) + ";\n" + kScript);
  return reply;
}

}  // namespace

void RegisterUploadPage(Router& main_router) { main_router.Add("GET", "/music/upload.php", UploadPage); }

}  // namespace quillo::stub
