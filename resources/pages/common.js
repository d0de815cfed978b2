// Shared by the built-in pages: reaching the program through window.external, the window's own
// caption and buttons, and the size texts the download tab uses too.
//
// A page may be opened in an ordinary browser (to look at it while working on it). There is
// no window.external then — or one that has none of our methods — so every call goes through
// quillo.call(), which answers undefined instead of throwing, and quillo.hosted() tells the page
// to show its note.
var quillo = (function () {
  'use strict';

  function hasMethod(name) {
    try {
      return !!window.external && typeof window.external[name] === 'function';
    } catch (e) {
      return false;
    }
  }

  // Calls external.<name>(args...) when the window offers it. Arguments are passed as texts,
  // as the window reads them; a failing call stays inside the page.
  function call(name) {
    if (!hasMethod(name)) return undefined;
    var args = [];
    for (var i = 1; i < arguments.length; ++i) args.push(String(arguments[i]));
    try {
      return window.external[name].apply(window.external, args);
    } catch (e) {
      return undefined;
    }
  }

  // Whether the page runs inside the program's window: it answers the page's first method.
  function hosted(method) {
    return hasMethod(method);
  }

  function byId(id) {
    return document.getElementById(id);
  }

  function setText(id, text) {
    var element = byId(id);
    if (element) element.textContent = text;
  }

  function show(id, visible) {
    var element = byId(id);
    if (element) element.style.display = visible ? '' : 'none';
  }

  // A decimal text from the program ("1048576"); NaN and negatives read as 0.
  function count(text) {
    var value = Number(String(text).trim());
    return isFinite(value) && value > 0 ? Math.floor(value) : 0;
  }

  // The size text of a byte count, as the download list writes it.
  function sizeText(bytes) {
    var n = count(bytes);
    if (n === 0) return '-';
    if (n < 1024) return n + 'B';
    if (n < 1048576) return (n / 1024).toFixed(2) + 'K';
    if (n < 1073741824) return (n / 1048576).toFixed(2) + 'M';
    return (n / 1073741824).toFixed(2) + 'G';
  }

  // Whole percent of received of total, 0–100; no value when the total is unknown (0).
  function percent(received, total) {
    var t = count(total);
    if (t === 0) return null;
    var p = Math.floor(count(received) * 100 / t);
    return Math.max(0, Math.min(100, p));
  }

  // The window's own frame: dragging the caption moves the window, the buttons minimise and
  // close it, and the browser's context menu never shows. Buttons inside the caption keep
  // their clicks.
  function setUpWindow() {
    document.addEventListener('contextmenu', function (event) {
      event.preventDefault();
    });
    var caption = byId('caption');
    if (caption) {
      caption.addEventListener('mousedown', function (event) {
        if (event.button !== 0) return;
        if (event.target.closest && event.target.closest('button')) return;
        call('WindowStartMove');
      });
    }
    var minimise = byId('window-min');
    if (minimise) minimise.addEventListener('click', function () { call('WindowMin'); });
    var close = byId('window-close');
    if (close) close.addEventListener('click', function () { call('WindowClose'); });
  }

  return {
    call: call,
    hosted: hosted,
    byId: byId,
    setText: setText,
    show: show,
    count: count,
    sizeText: sizeText,
    percent: percent,
    setUpWindow: setUpWindow
  };
})();
