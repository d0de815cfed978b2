// The upload page. The window offers GetMusicName, GetArtistName, OpenMusicFile, OpenLyricFile,
// UploadMusic(path) and UploadLyric(path), and calls these page functions with texts:
//   setMusicPath(path)             the music file the user chose after OpenMusicFile
//   setLyricPath(path)             the lyric file the user chose after OpenLyricFile
//   OnUploadProgress(sent, total)  bytes the upload host holds, and the file's size, as decimal
//                                  texts
//   OnUploadFinished(ok, text)     ok "1" (or "true") when the host has the whole file, anything
//                                  else for a failure; text, when not empty, is shown as the
//                                  reason or the thanks
// Closing goes through WindowClose.
(function () {
  'use strict';

  // Which upload the progress belongs to, for the texts: "歌曲" or "歌词".
  var uploading = '';

  function setStatus(text, kind) {
    var status = quillo.byId('status');
    if (!status) return;
    status.textContent = text;
    status.className = kind || '';
  }

  function setBar(percent) {
    var fill = quillo.byId('bar-fill');
    if (fill) fill.style.width = (percent === null ? 0 : percent) + '%';
  }

  function setPath(id, path) {
    var input = quillo.byId(id);
    if (!input) return;
    input.value = path === undefined || path === null ? '' : String(path);
    // A long path shows its end: the file's name.
    input.scrollLeft = input.scrollWidth || 0;
  }

  window.setMusicPath = function (path) { setPath('music-path', path); };
  window.setLyricPath = function (path) { setPath('lyric-path', path); };

  window.OnUploadProgress = function (sent, total) {
    var percent = quillo.percent(sent, total);
    setBar(percent);
    var what = uploading || '文件';
    if (percent === null) {
      setStatus('正在上传' + what + '：已上传 ' + quillo.sizeText(sent));
    } else {
      setStatus('正在上传' + what + '：' + quillo.sizeText(sent) + ' / ' + quillo.sizeText(total) +
                '（' + percent + '%）');
    }
  };

  window.OnUploadFinished = function (ok, text) {
    var succeeded = String(ok) === '1' || String(ok).toLowerCase() === 'true';
    var detail = text === undefined || text === null ? '' : String(text);
    var what = uploading || '文件';
    uploading = '';
    if (succeeded) {
      setBar(100);
      setStatus(detail || what + '上传成功，谢谢您的分享！', 'done');
    } else {
      setBar(0);
      setStatus(what + '上传失败' + (detail ? '：' + detail : '，请稍后再试。'), 'failed');
    }
  };

  function upload(pathId, method, what) {
    var path = quillo.byId(pathId).value;
    if (!path) {
      setStatus('请先选择要上传的' + what + '文件。', 'failed');
      return;
    }
    uploading = what;
    setBar(0);
    setStatus('正在上传' + what + '……');
    quillo.call(method, path);
  }

  window.addEventListener('load', function () {
    quillo.setUpWindow();
    if (!quillo.hosted('UploadMusic')) {
      quillo.show('note', true);
      setStatus('');
      var buttons = document.querySelectorAll('fieldset button');
      for (var i = 0; i < buttons.length; ++i) buttons[i].disabled = true;
      return;
    }
    var name = quillo.call('GetMusicName');
    var artist = quillo.call('GetArtistName');
    quillo.setText('music-name', name ? String(name) : '-');
    quillo.setText('artist-name', artist ? String(artist) : '-');
    quillo.byId('music-browse').addEventListener('click', function () { quillo.call('OpenMusicFile'); });
    quillo.byId('lyric-browse').addEventListener('click', function () { quillo.call('OpenLyricFile'); });
    quillo.byId('music-upload').addEventListener('click', function () {
      upload('music-path', 'UploadMusic', '歌曲');
    });
    quillo.byId('lyric-upload').addEventListener('click', function () {
      upload('lyric-path', 'UploadLyric', '歌词');
    });
  });
})();
