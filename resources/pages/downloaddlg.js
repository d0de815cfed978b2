// The component download page. The window starts the download when the page calls
// external.OnLoad() (and again for a retry) and reports through the page functions below, all
// called with texts:
//   OnStartDownload()                     data has started to arrive
//   OnDownloadProgress(received, total)   byte counts as decimal texts; total "0" = unknown
//   OnFinishDownload(text)                done (the window closes itself afterwards)
//   OnDownloadError(text)                 failed; the text says why
// The page answers with external.OnLoad(), external.Cancel() and the window controls only.
(function () {
  'use strict';

  var finished = false;

  function setBar(percent) {
    var bar = quillo.byId('bar');
    var fill = quillo.byId('bar-fill');
    if (!bar || !fill) return;
    bar.className = percent === null ? 'unknown' : '';
    fill.style.width = percent === null ? '' : percent + '%';
  }

  function begin() {
    finished = false;
    quillo.show('error', false);
    quillo.show('retry', false);
    quillo.show('status', true);
    quillo.setText('status', '正在连接服务器……');
    quillo.byId('cancel').disabled = false;
    setBar(0);
    quillo.call('OnLoad');
  }

  window.OnStartDownload = function () {
    if (finished) return;
    quillo.setText('status', '正在下载……');
  };

  window.OnDownloadProgress = function (received, total) {
    if (finished) return;
    var percent = quillo.percent(received, total);
    setBar(percent);
    if (percent === null) {
      quillo.setText('status', '已下载 ' + quillo.sizeText(received));
    } else {
      quillo.setText('status', '已下载 ' + quillo.sizeText(received) + ' / ' + quillo.sizeText(total) +
                     '（' + percent + '%）');
    }
  };

  window.OnFinishDownload = function () {
    finished = true;
    setBar(100);
    quillo.setText('status', '下载完成');
    quillo.byId('cancel').disabled = true;
  };

  window.OnDownloadError = function (text) {
    finished = true;
    setBar(0);
    quillo.show('status', false);
    var reason = text === undefined || text === null ? '' : String(text);
    quillo.setText('error', reason ? '下载失败：' + reason : '下载失败，请检查网络连接后重试。');
    quillo.show('error', true);
    quillo.show('retry', true);
  };

  window.addEventListener('load', function () {
    quillo.setUpWindow();
    quillo.byId('retry').addEventListener('click', begin);
    quillo.byId('cancel').addEventListener('click', function () { quillo.call('Cancel'); });
    if (!quillo.hosted('OnLoad')) {
      quillo.show('note', true);
      quillo.setText('status', '未在Zelbo音乐中打开。');
      return;
    }
    begin();
  });
})();
