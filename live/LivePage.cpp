#include "LivePage.h"

namespace {

const char kPage[] = R"page(<!DOCTYPE html>
<html lang="de">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Talvenbahn – live</title>
<style>
body{margin:0;font-family:Arial,Helvetica,sans-serif;background:#f4f6f4;color:#111}
header{background:#a0bca0;padding:.6em .8em}
h1{font-size:1.3em;margin:0 0 .2em}
#info{font-size:1em;display:flex;flex-wrap:wrap;gap:.3em 1.2em}
#clock{font-weight:bold;font-variant-numeric:tabular-nums}
#link{font-size:.85em;padding:.3em .8em;background:#fff3c4;display:none}
#link.down{display:block}
table{border-collapse:collapse;width:100%;font-size:1.05em}
th,td{padding:.45em .4em;border-bottom:1px solid #d0d8d0;text-align:right;white-space:nowrap}
th{background:#e2ebe2;font-size:.85em;position:sticky;top:0}
td.driver,th.driver{text-align:left;white-space:normal;width:100%}
td{font-variant-numeric:tabular-nums}
tr.last td{background:#fff7d6}
tr.overdue td{color:#c00000}
tr.overdue td.driver{font-weight:bold}
tr.finished td.driver::after{content:" \2691"}
#heat{font-weight:bold;margin:.2em 0 0}
#schedule{display:none;padding:.4em .8em;font-size:.9em}
#schedule.day{display:block}
#schedule li.running{font-weight:bold}
#schedule li.done{color:#666}
@media (max-width:560px){.wide{display:none}table{font-size:1em}}
</style>
</head>
<body>
<header>
<h1 id="title">Talvenbahn</h1>
<div id="info"><span id="session"></span><span id="state">Verbinde …</span>
<span id="clock"></span><span id="togo"></span></div>
<div id="heat"></div>
</header>
<div id="link">Verbindung unterbrochen – neuer Versuch läuft …</div>
<table>
<thead><tr><th>Pos</th><th>Nr.</th><th class="driver">Fahrer</th><th>Runden</th>
<th class="wide">Letzte</th><th>Beste</th><th>Abstand</th></tr></thead>
<tbody id="rows"></tbody>
</table>
<section id="schedule"><h2>Zeitplan</h2><ol id="heats"></ol></section>
<script>
(function () {
  'use strict';
  var stateNames = {ready: 'Bereit', running: 'Läuft', stopped: 'Gestoppt', ended: 'Beendet'};
  function text(id, value) { document.getElementById(id).textContent = value; }
  function str(v) { return (typeof v === 'string' || typeof v === 'number') ? String(v) : ''; }
  function cell(tr, value, cls) {
    var td = document.createElement('td');
    td.textContent = str(value);
    if (cls) td.className = cls;
    tr.appendChild(td);
  }
  function render(s) {
    if (!s || typeof s !== 'object') return;
    var title = str(s.title) || 'Talvenbahn';
    text('title', title);
    document.title = title + ' – live';
    text('session', str(s.session));
    text('state', stateNames[s.state] || '');
    text('clock', (str(s.clockLabel) ? str(s.clockLabel) + ' ' : '') + str(s.clock));
    text('togo', s.state === 'running' && s.lapsToGo > 0
        ? (s.lapsToGo === 1 ? 'letzte Runde' : 'noch ' + s.lapsToGo + ' Runden') : '');
    text('heat', str(s.heat));
    schedule(Array.isArray(s.schedule) ? s.schedule : []);
    var body = document.getElementById('rows');
    var list = document.createDocumentFragment();
    var rows = Array.isArray(s.rows) ? s.rows : [];
    for (var i = 0; i < rows.length; i++) {
      var r = rows[i] || {};
      var tr = document.createElement('tr');
      var cls = [];
      if (s.lastCar > 0 && r.key === 'F' + s.lastCar) cls.push('last');
      if (r.overdue) cls.push('overdue');
      if (r.finished && !str(r.status)) cls.push('finished');
      tr.className = cls.join(' ');
      cell(tr, r.pos > 0 ? r.pos + '.' : str(r.status));
      cell(tr, str(r.number) || str(r.key));
      cell(tr, r.driver, 'driver');
      cell(tr, r.laps);
      cell(tr, r.last, 'wide');
      cell(tr, r.best);
      var behind = Number(r.lapsBehind) || 0;
      cell(tr, behind > 0 ? '+' + behind + (behind === 1 ? ' Runde' : ' Runden') : r.gap);
      list.appendChild(tr);
    }
    while (body.firstChild) body.removeChild(body.firstChild);
    body.appendChild(list);
  }
  var stateClasses = {'fertig': 'done', 'läuft': 'running', 'offen': 'open'};
  function schedule(heats) {
    var list = document.getElementById('heats');
    var items = document.createDocumentFragment();
    for (var i = 0; i < heats.length; i++) {
      var h = heats[i] || {};
      var li = document.createElement('li');
      li.textContent = str(h.label) + (str(h.state) ? ' – ' + str(h.state) : '');
      li.className = stateClasses[h.state] || '';
      items.appendChild(li);
    }
    while (list.firstChild) list.removeChild(list.firstChild);
    list.appendChild(items);
    document.getElementById('schedule').className = heats.length ? 'day' : '';
  }
  function linkUp(up) { document.getElementById('link').className = up ? '' : 'down'; }
  function poll() {
    var x = new XMLHttpRequest();
    x.open('GET', '/api/standings');
    x.onload = function () {
      try { render(JSON.parse(x.responseText)); linkUp(true); } catch (e) { linkUp(false); }
      setTimeout(poll, 1000);
    };
    x.onerror = function () { linkUp(false); setTimeout(poll, 2000); };
    x.send();
  }
  if (window.EventSource) {
    var events = new EventSource('/api/events');
    events.onmessage = function (e) {
      try { render(JSON.parse(e.data)); } catch (err) { return; }
      linkUp(true);
    };
    events.onopen = function () { linkUp(true); };
    events.onerror = function () {
      linkUp(false);
      // A refused stream (too many spectators) is not tried again by the browser: ask instead.
      if (events.readyState === 2) poll();
    };
  } else {
    poll();
  }
})();
</script>
</body>
</html>
)page";

} // namespace

QByteArray LivePageHtml()
{
    return QByteArray::fromRawData(kPage, int(sizeof(kPage) - 1));
}
