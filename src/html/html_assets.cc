#include "html/html_assets.h"

namespace rw {

const std::string_view kPageStyle = R"css(:root{--line:#c9ced6;--muted:#5b6472;--field:#dce8fb;--focus:#0b57d0;
  font:15px/1.4 system-ui,-apple-system,"Segoe UI",sans-serif;color:#1b1f24;background:#fff}
body{margin:0;height:100vh;display:flex;flex-direction:column}
code{font:13px ui-monospace,"DejaVu Sans Mono",monospace;user-select:all;white-space:nowrap}
.rw-skip{position:absolute;left:-100em}.rw-skip:focus{left:.5em;top:.5em;z-index:9;background:#fff;padding:.3em}
header{padding:.6em 1.2em;border-bottom:1px solid var(--line);background:#f5f7fa;position:relative}
header p{margin:.2em 0;color:var(--muted)}
h1{font-size:1.4em;margin:0}
#rw-search{font:inherit;width:min(34em,70vw);padding:.25em .5em}
#rw-results{position:absolute;z-index:5;margin:.2em 0 0 4em;padding:0;list-style:none;background:#fff;
  border:1px solid var(--line);box-shadow:0 4px 14px #0003;max-height:60vh;overflow:auto;min-width:28em}
#rw-results:empty{display:none}
#rw-results a{display:block;padding:.2em .6em;text-decoration:none;color:inherit}
#rw-results a:hover,#rw-results a:focus{background:var(--field)}
#rw-results small{color:var(--muted);margin-left:.6em}
.rw-layout{flex:1;min-height:0;display:grid;grid-template-columns:minmax(13em,19em) 1fr}
nav{overflow:auto;border-right:1px solid var(--line);padding:.5em .6em;font-size:14px}
nav ul{margin:0;padding:0 0 .3em 1.2em;list-style:none}
nav details details{margin-left:.8em}
nav summary{cursor:pointer;padding:.1em 0}
nav a{color:inherit;text-decoration:none}nav a:hover,nav a:focus{text-decoration:underline}
main{overflow:auto;padding:0 1.4em 40vh;overflow-anchor:none}
h2{font-size:1.3em;margin:1.2em 0 .3em;border-bottom:2px solid var(--line)}
h3{font-size:1.15em;margin:1.4em 0 .2em}
h4{font-size:1em;margin:0 0 .2em;font-family:ui-monospace,"DejaVu Sans Mono",monospace}
.rw-reg{margin:.8em 0;padding:.6em .8em;border:1px solid var(--line);border-radius:4px}
.rw-edge{height:1px}
.rw-props{display:grid;grid-template-columns:max-content 1fr;gap:0 1em;margin:.2em 0}
.rw-props dt{color:var(--muted)}.rw-props dd{margin:0}
.rw-desc{margin:.3em 0;max-width:60em}.rw-note{color:var(--muted)}
.rw-pic{border-collapse:collapse;table-layout:fixed;width:100%;max-width:62em;margin:.5em 0;font-size:12px}
.rw-pic caption{position:absolute;left:-100em}
.rw-pic th{font-weight:normal;color:var(--muted);padding:0}
.rw-pic td{border:1px solid #8d95a3;height:2.1em;padding:0 2px;text-align:center;overflow:hidden;
  text-overflow:ellipsis;white-space:nowrap;position:relative;
  background:repeating-linear-gradient(135deg,#f2f3f5 0 3px,#e2e4e8 3px 6px)}
.rw-pic td[tabindex]{background:var(--field)}
.rw-pic td[tabindex]:not([colspan]){writing-mode:sideways-lr;height:5.5em;padding:3px 0;line-height:1}
.rw-pic td[tabindex]:hover,.rw-pic td[tabindex]:focus{background:#b7d0f8;outline:2px solid var(--focus);
  overflow:visible;z-index:3}
.rw-pic td[tabindex]:hover::after,.rw-pic td[tabindex]:focus::after{content:attr(data-tip);position:absolute;
  left:0;top:100%;writing-mode:horizontal-tb;padding:.3em .6em;background:#1b1f24;color:#fff;border-radius:3px;
  white-space:pre;
  text-align:left;font-size:12px;z-index:4}
.rw-fields{border-collapse:collapse;margin:.3em 0 .2em;font-size:14px}
.rw-fields th,.rw-fields td{border-bottom:1px solid var(--line);padding:.15em .7em .15em 0;text-align:left;
  vertical-align:top}
.rw-fields thead th{color:var(--muted);font-weight:normal}
.rw-values>td{padding-left:1.5em}.rw-enum{margin:0;font-size:13px}
.rw-hit,:target{outline:3px solid #e8a400;outline-offset:2px}
@media (max-width:700px){.rw-layout{display:block;overflow:auto}nav{display:none}main{overflow:visible}}
)css";


const std::string_view kPageScript = R"js((() => {
'use strict';
const main = document.getElementById('rw-main');
const input = document.getElementById('rw-search');
const results = document.getElementById('rw-results');
document.getElementById('rw-finder').hidden = false;

// The data (see html_data.h) comes packed: base64 in its URL alphabet, then
// gzip. Everything below waits for it.
function fromBase64(text) {
  if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text, {alphabet: 'base64url'});
  const alphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_';
  const digit = new Uint8Array(128);
  for (let i = 0; i < 64; i++) digit[alphabet.charCodeAt(i)] = i;
  const bytes = new Uint8Array(Math.floor(text.length * 3 / 4));
  let bits = 0, count = 0, n = 0;
  for (let i = 0; i < text.length; i++) {
    bits = (bits << 6 | digit[text.charCodeAt(i) & 127]) & 0xFFFFFF;
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes[n++] = bits >> count & 255;
    }
  }
  return bytes;
}

async function unpack() {
  const bytes = fromBase64(document.getElementById('rw-data').textContent.trim());
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
  return JSON.parse(await new Response(stream).text());
}

// What the data says, read the way the page needs it: the sequence of what
// main shows (segments, blocks, registers, the vectors), and where each
// record's fields and values begin.
function model(d) {
  const s = d.s, m = {d, s, kind: [], index: [], itemOf: {g: [], b: [], r: []}};
  const add = (kind, i) => {
    m.kind.push(kind);
    m.index.push(i);
    return m.kind.length - 1;
  };
  m.firstRegister = new Uint32Array(d.b.length + 1);
  let b = 0, r = 0;
  for (let g = 0; g < d.g.length; g++) {
    m.itemOf.g.push(add('g', g));
    for (let k = 0; k < d.g[g][5]; k++, b++) {
      m.itemOf.b.push(add('b', b));
      m.firstRegister[b] = r;
      for (let j = 0; j < d.b[b][2]; j++, r++) m.itemOf.r.push(add('r', r));
    }
  }
  m.firstRegister[b] = r;
  if (d.v.length) add('v', 0);
  m.firstField = new Uint32Array(d.r.length + 1);
  for (let i = 0; i < d.r.length; i++) m.firstField[i + 1] = m.firstField[i] + d.r[i][11];
  m.firstValue = new Uint32Array(d.f.length + 1);
  for (let i = 0; i < d.f.length; i++) m.firstValue[i + 1] = m.firstValue[i] + d.f[i][11];
  m.regName = (i) => s[d.r[i][0]];
  m.regId = (i) => d.r[i][1] === 0 ? s[d.r[i][0]] : s[d.r[i][1]];
  m.fieldStem = (r, f) => d.f[f][8] < 0 ? s[d.r[r][0]] + '_' + s[d.f[f][0]] : s[d.f[f][8]];
  m.fieldId = (r, f) => m.regId(r) + '.' + s[d.f[f][1] === 0 ? d.f[f][0] : d.f[f][1]];
  // The record that holds the i-th of its parts, from where each record's
  // parts begin: the last one that begins at or before i.
  const owner = (starts, i) => {
    let low = 0, high = starts.length - 2;
    while (low < high) {
      const mid = (low + high + 1) >> 1;
      if (starts[mid] <= i) low = mid; else high = mid - 1;
    }
    return low;
  };
  m.blockOf = (r) => owner(m.firstRegister, r);
  m.registerOf = (f) => owner(m.firstField, f);
  return m;
}

let m = null;
const ready = unpack().then((d) => { m = model(d); });

// The item that shows the element with this id. Ids of segments, blocks
// and registers are kept in a map made when first asked for; a field's id is
// its register's id, "." and more, so it is looked for among the fields of
// the register whose id it begins with.
let ids = null;
function itemFor(id) {
  if (!ids) {
    ids = new Map();
    const d = m.d;
    d.g.forEach((g, i) => ids.set(m.s[g[1]], m.itemOf.g[i]));
    d.b.forEach((b, i) => ids.set(m.s[b[1]], m.itemOf.b[i]));
    for (let r = 0; r < d.r.length; r++) ids.set(m.regId(r), m.itemOf.r[r]);
    if (d.v.length) ids.set('rw-vectors', m.kind.length - 1);
  }
  const direct = ids.get(id);
  if (direct !== undefined) return direct;
  for (let dot = id.lastIndexOf('.'); dot > 0; dot = id.lastIndexOf('.', dot - 1)) {
    const i = ids.get(id.slice(0, dot));
    if (i === undefined || m.kind[i] !== 'r') continue;
    const r = m.index[i];
    for (let f = m.firstField[r]; f < m.firstField[r + 1]; f++) {
      if (m.fieldId(r, f) === id) return i;
    }
  }
  return undefined;
}

// Markup, built as elements and text nodes only: no name from the map is
// ever read as markup.
function el(tag, className, ...content) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  e.append(...content);
  return e;
}
const hex = (digits) => '0x' + digits;
function props(pairs) {
  const dl = el('dl', 'rw-props');
  for (const [term, ...value] of pairs) dl.append(el('dt', '', term), el('dd', '', ...value));
  return dl;
}
function description(text) {
  return text ? [el('p', 'rw-desc', text)] : [];
}
// A pattern's definitions, each name in a <code> and followed by a blank,
// or the note that stands instead of them.
function definitions(pattern, stems) {
  const p = m.d.d[pattern];
  if (typeof p === 'string') return [p];
  const out = [];
  for (let i = 0; i < p.length; i += 2) {
    const [before, after] = m.d.n[p[i]];
    out.push(el('code', '', before + stems[p[i + 1]] + after), ' ');
  }
  return out;
}

function segmentItem(i) {
  const [label, id, start, size, text] = m.d.g[i];
  const section = el('section', 'rw-segment', el('h2', '', m.s[label]));
  section.id = m.s[id];
  const pairs = [];
  if (start) pairs.push(['Start', hex(start)]);
  if (size) pairs.push(['Size', hex(size)]);
  if (pairs.length) section.append(props(pairs));
  section.append(...description(m.s[text]));
  return section;
}

function blockItem(i) {
  const b = m.d.b[i];
  const section = el('section', 'rw-block', el('h3', '', m.s[b[0]]));
  section.id = m.s[b[1]];
  if (b.length > 3) {
    const pairs = [];
    if (b[3]) pairs.push(['Base', hex(b[3])]);
    if (b[6] >= 0) pairs.push(['Definition', ...definitions(b[6], [m.s[b[7]]])]);
    if (b[4]) pairs.push(['Size', hex(b[4])]);
    pairs.push(['Registers', String(b[2])]);
    section.append(props(pairs), ...description(m.s[b[5]]));
  }
  return section;
}

function registerItem(r) {
  const [name, , address, offset, size, access, reset, text, alias, pattern, offsetPattern, fields] = m.d.r[r];
  const stems = [m.s[name], m.s[alias]];
  const section = el('section', 'rw-reg', el('h4', '', m.s[name]));
  section.id = m.regId(r);
  const pairs = [['Definition', ...definitions(pattern, stems)], ['Address', hex(address)]];
  if (offset) {
    pairs.push(offsetPattern >= 0 ? ['Offset', hex(offset), ' ', ...definitions(offsetPattern, stems)]
                                  : ['Offset', hex(offset)]);
  }
  pairs.push(['Size', size < 0 ? 'not given' : size + (size === 1 ? ' byte' : ' bytes')]);
  if (m.s[access]) pairs.push(['Access', m.s[access]]);
  if (m.s[reset]) pairs.push(['Reset value', m.s[reset]]);
  section.append(props(pairs), ...description(m.s[text]));
  if (fields) section.append(picture(r), fieldTable(r));
  return section;
}

const bitRange = (f) => f[3] === 1 ? String(f[2]) : (f[2] + f[3] - 1) + ':' + f[2];
const maskText = (f) => '0x' + f[4].toString(16).toUpperCase();

// One column per bit, the highest on the left, numbered in the first row;
// each field spans the cells of its bits, in the row the data gives it.
function picture(r) {
  const width = m.d.r[r][12];
  const rows = [];
  for (let i = m.firstField[r]; i < m.firstField[r + 1]; i++) {
    const f = m.d.f[i];
    if (f[10] < 0) continue;
    while (rows.length <= f[10]) rows.push(new Int32Array(width).fill(-1));
    rows[f[10]].fill(i, f[2], Math.min(f[2] + f[3], width));
  }
  const numbers = el('tr');
  for (let bit = width; bit-- > 0;) numbers.append(el('th', '', String(bit)));
  const table = el('table', 'rw-pic', el('caption', '', 'Bits of ' + m.regName(r)), numbers);
  for (const row of rows) {
    const tr = el('tr');
    for (let bit = width; bit-- > 0;) {
      const owner = row[bit];
      const td = el('td');
      tr.append(td);
      if (owner < 0) continue;
      let low = bit;
      while (low > 0 && row[low - 1] === owner) --low;
      const f = m.d.f[owner], name = m.s[f[0]];
      if (bit !== low) td.colSpan = bit - low + 1;
      td.tabIndex = 0;
      td.dataset.tip = name + '\nbits ' + bitRange(f) + '\nmask ' + maskText(f);
      td.textContent = name;
      bit = low;
    }
    table.append(tr);
  }
  return table;
}

function fieldTable(r) {
  const first = m.firstField[r], end = m.firstField[r + 1];
  let anyAccess = false, anyDescription = false;
  for (let i = first; i < end; i++) {
    anyAccess = anyAccess || m.s[m.d.f[i][5]] !== '';
    anyDescription = anyDescription || m.s[m.d.f[i][6]] !== '';
  }
  const columns = ['Field', 'Bits', 'Mask', ...(anyAccess ? ['Access'] : []), 'Definitions',
                   ...(anyDescription ? ['Description'] : [])];
  const body = el('tbody');
  for (let i = first; i < end; i++) {
    const f = m.d.f[i];
    const tr = el('tr', '', el('th', '', m.s[f[0]]), el('td', '', bitRange(f)), el('td', '', maskText(f)));
    tr.id = m.fieldId(r, i);
    if (anyAccess) tr.append(el('td', '', m.s[f[5]]));
    tr.append(el('td', '', ...definitions(f[7], [m.fieldStem(r, i), m.s[f[9]]])));
    if (anyDescription) tr.append(el('td', '', m.s[f[6]]));
    body.append(tr);
    if (f[11]) body.append(values(i, columns.length));
  }
  return el('table', 'rw-fields', el('thead', '', el('tr', '', ...columns.map((c) => el('th', '', c)))), body);
}

// A field's enumerated values in a row of their own under it: each value as
// the map writes it (don't-care bits stay "x"), its name, description.
function values(f, columns) {
  const list = m.d.e.slice(m.firstValue[f], m.firstValue[f + 1]);
  const anyDescription = list.some((e) => m.s[e[2]] !== '');
  const body = el('tbody');
  for (const e of list) {
    const tr = el('tr', '', el('td', '', el('code', '', m.s[e[0]])), el('td', '', m.s[e[1]]));
    if (anyDescription) tr.append(el('td', '', m.s[e[2]]));
    body.append(tr);
  }
  const head = el('tr', '', el('th', '', 'Value'), el('th', '', 'Name'));
  if (anyDescription) head.append(el('th', '', 'Description'));
  const cell = el('td', '', el('table', 'rw-fields rw-enum', el('thead', '', head), body));
  cell.colSpan = columns;
  return el('tr', 'rw-values', cell);
}

function vectorItem() {
  const body = el('tbody');
  for (const [name, number] of m.d.v) body.append(el('tr', '', el('td', '', el('code', '', m.s[name])),
                                                     el('td', '', m.s[number])));
  const head = el('thead', '', el('tr', '', el('th', '', 'Definition'), el('th', '', 'Number')));
  const section = el('section', '', el('h2', '', 'Interrupt vectors'), el('table', 'rw-fields', head, body));
  section.id = 'rw-vectors';
  return section;
}

function item(i) {
  const index = m.index[i];
  switch (m.kind[i]) {
    case 'g': return segmentItem(index);
    case 'b': return blockItem(index);
    case 'r': return registerItem(index);
    default: return vectorItem();
  }
}

// Main holds a window of the items, [first, end), between two edges; an
// edge that comes near the view brings in the next few items on its side.
// Items that come in above keep what is in view where it was.
const kStep = 8;
const top = el('div', 'rw-edge'), bottom = el('div', 'rw-edge');
let first = 0, end = 0;
// Main scrolls, unless a narrow window lays it out in the page.
let scroller, near;
const watch = (seen) => {
  for (const s of seen) {
    if (!s.isIntersecting) continue;
    if (s.target === bottom && end < m.kind.length) {
      const stop = Math.min(end + kStep, m.kind.length);
      const items = [];
      for (; end < stop; end++) items.push(item(end));
      bottom.before(...items);
    } else if (s.target === top && first > 0) {
      const anchor = top.nextElementSibling, before = anchor.getBoundingClientRect().top;
      const start = Math.max(first - kStep, 0), items = [];
      for (let i = start; i < first; i++) items.push(item(i));
      first = start;
      top.after(...items);
      (scroller || document.scrollingElement).scrollTop += anchor.getBoundingClientRect().top - before;
    } else {
      continue;
    }
    // Seen again at once if it is still near.
    near.unobserve(s.target);
    near.observe(s.target);
  }
};

function showFrom(i) {
  if (!near) {
    scroller = getComputedStyle(main).overflowY === 'visible' ? null : main;
    near = new IntersectionObserver(watch, {root: scroller, rootMargin: '1200px 0px'});
  }
  first = Math.max(i - 2, 0);
  end = Math.min(i + kStep, m.kind.length);
  const items = [];
  for (let k = first; k < end; k++) items.push(item(k));
  main.replaceChildren(top, ...items, bottom);
  near.observe(top);
  near.observe(bottom);
}

// Shows the element with this id: brings its item into main, opens its
// group in the navigation and scrolls to it.
async function reveal(id) {
  if (!m) await ready;
  const i = itemFor(id);
  if (i === undefined) return false;
  if (i < first || i >= end || !document.getElementById(id)) showFrom(i);
  const target = document.getElementById(id);
  const block = m.kind[i] === 'b' ? m.index[i] : m.kind[i] === 'r' ? m.blockOf(m.index[i]) : -1;
  if (block >= 0) {
    const entry = document.querySelector('nav details[data-id="' + CSS.escape(m.s[m.d.b[block][1]]) + '"]');
    if (entry) entry.open = true;
  }
  for (const old of document.querySelectorAll('.rw-hit')) old.classList.remove('rw-hit');
  target.classList.add('rw-hit');
  target.scrollIntoView({block: 'start'});
  return true;
}

function fromHash() {
  try {
    return decodeURIComponent(location.hash.slice(1));
  } catch (e) {
    return location.hash.slice(1);
  }
}

function go(id) {
  history.pushState(null, '', '#' + encodeURIComponent(id));
  reveal(id);
}

window.addEventListener('hashchange', () => reveal(fromHash()));

// A group's entry lists its registers once it is first opened.
function link(id, text) {
  const a = el('a', '', text);
  a.href = '#' + encodeURIComponent(id);
  return a;
}
for (const entry of document.querySelectorAll('nav details.rw-group')) {
  entry.addEventListener('toggle', async () => {
    if (!entry.open || entry.querySelector('ul')) return;
    if (!m) await ready;
    const b = m.d.b.findIndex((block) => m.s[block[1]] === entry.dataset.id);
    const list = el('ul');
    for (let r = m.firstRegister[b]; r < m.firstRegister[b + 1]; r++) list.append(el('li', '', link(m.regId(r), m.regName(r))));
    entry.append(list);
  });
  entry.querySelector('summary').addEventListener('click', () => {
    // After the click has opened the entry.
    if (!entry.open) setTimeout(() => go(entry.dataset.id));
  });
}

// Search: names by case-insensitive substring, whole names first; a query
// that starts with "0x" finds registers by address, exact ones first, then
// those whose address begins with the digits typed so far.
const kMaxResults = 60;
let lower = null;

// The names that search looks through, in lower case: made once, when the
// page is idle after it is ready or at the first search.
function searchNames() {
  if (lower) return lower;
  const d = m.d, fields = [];
  for (let r = 0; r < d.r.length; r++) {
    for (let f = m.firstField[r]; f < m.firstField[r + 1]; f++) {
      fields.push((d.f[f][8] === 0 ? m.s[d.f[f][0]] : m.fieldStem(r, f)).toLowerCase());
    }
  }
  lower = {b: d.b.map((b) => m.s[b[0]].toLowerCase()), r: d.r.map((r) => m.s[r[0]].toLowerCase()), f: fields};
  return lower;
}

function find(query) {
  const d = m.d, found = [];
  const address = /^0x([0-9a-f]+)$/i.exec(query);
  if (address) {
    const digits = address[1].toUpperCase().replace(/^0+(?=.)/, '');
    for (let i = 0; i < d.r.length; i++) {
      const a = d.r[i][2];
      const rank = a === digits ? 0 : a.startsWith(digits) ? 1 : -1;
      if (rank >= 0) found.push({rank, kind: 'register', i});
    }
  } else {
    const names = searchNames();
    const q = query.toLowerCase();
    const scan = (list, kind) => {
      for (let i = 0; i < list.length; i++) {
        const at = list[i].indexOf(q);
        if (at >= 0) found.push({rank: list[i].length === q.length ? 0 : at === 0 ? 1 : 2, kind, i});
      }
    };
    scan(names.b, 'group');
    scan(names.r, 'register');
    scan(names.f, 'field');
  }
  const order = {group: 0, register: 1, field: 2};
  found.sort((x, y) => x.rank - y.rank || order[x.kind] - order[y.kind] || x.i - y.i);
  return found.slice(0, kMaxResults);
}

function describe(hit) {
  const d = m.d;
  if (hit.kind === 'group') return {id: m.s[d.b[hit.i][1]], name: m.s[d.b[hit.i][0]], note: 'group'};
  if (hit.kind === 'register') {
    return {id: m.regId(hit.i), name: m.regName(hit.i), note: 'register at ' + hex(d.r[hit.i][2])};
  }
  const r = m.registerOf(hit.i), f = d.f[hit.i];
  return {id: m.fieldId(r, hit.i), name: f[8] === 0 ? m.s[f[0]] : m.fieldStem(r, hit.i),
          note: 'field of ' + m.regName(r)};
}

// At once when the data is there: typing shows its results in the same
// task.
async function show() {
  if (!m) await ready;
  const query = input.value.trim();
  results.replaceChildren();
  if (!query) return;
  for (const hit of find(query)) {
    const {id, name, note} = describe(hit);
    const a = link(id, name);
    a.append(' ', el('small', '', note));
    a.addEventListener('click', (event) => {
      event.preventDefault();
      go(id);
      results.replaceChildren();
    });
    results.append(el('li', '', a));
  }
  if (!results.firstChild) results.append(el('li', '', 'Nothing found'));
}

input.addEventListener('input', show);
input.addEventListener('keydown', (event) => {
  if (event.key === 'Enter') {
    const first = results.querySelector('a');
    if (first) first.click();
  } else if (event.key === 'ArrowDown') {
    const first = results.querySelector('a');
    if (first) {
      event.preventDefault();
      first.focus();
    }
  } else if (event.key === 'Escape') {
    input.value = '';
    results.replaceChildren();
  }
});
results.addEventListener('keydown', (event) => {
  const li = event.target.closest('li');
  if (!li) return;
  const next = event.key === 'ArrowDown' ? li.nextElementSibling : event.key === 'ArrowUp' ? li.previousElementSibling : null;
  if (next && next.querySelector('a')) {
    event.preventDefault();
    next.querySelector('a').focus();
  } else if (event.key === 'ArrowUp') {
    event.preventDefault();
    input.focus();
  }
});

// Ready once the first view is built and a deep link followed.
ready.then(() => {
  showFrom(0);
  return location.hash.length > 1 ? reveal(fromHash()) : true;
}).finally(() => {
  document.documentElement.dataset.ready = '1';
  performance.mark('rw-ready');
  if (m) (window.requestIdleCallback || setTimeout)(searchNames);
});
})();
)js";

}  // namespace rw
