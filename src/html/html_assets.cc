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
main{overflow:auto;padding:0 1.4em 40vh}
h2{font-size:1.3em;margin:1.2em 0 .3em;border-bottom:2px solid var(--line)}
h3{font-size:1.15em;margin:1.4em 0 .2em}
h4{font-size:1em;margin:0 0 .2em;font-family:ui-monospace,"DejaVu Sans Mono",monospace}
.rw-reg{margin:.8em 0;padding:.6em .8em;border:1px solid var(--line);border-radius:4px;
  content-visibility:auto;contain-intrinsic-size:auto 22em}
.rw-lazy{min-height:calc(var(--n) * 22em)}
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
const index = JSON.parse(document.getElementById('rw-index').textContent);
const main = document.getElementById('rw-main');
const regId = (i) => index.r[i][1] === 0 ? index.r[i][0] : index.r[i][1];
const hex = (n) => '0x' + n.toString(16).toUpperCase();

const fieldName = (f) => f.length > 2 ? f[2] : index.r[f[0]][0] + '_' + f[1];

// Groups past the page's markup limit hold their registers packed in a
// script element (gzip, then base64); this makes them markup. Resolves once
// the block's registers are in the document.
function inflate(block) {
  const held = block && block.querySelector(':scope > script[type="application/x-gzip-base64"]');
  if (!held) return Promise.resolve();
  if (!held.unpacking) {
    const bytes = Uint8Array.from(atob(held.textContent), (c) => c.charCodeAt(0));
    const text = new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'))).text();
    held.unpacking = text.then((markup) => {
      held.insertAdjacentHTML('afterend', markup);
      held.remove();
      block.classList.remove('rw-lazy');
    });
  }
  return held.unpacking;
}

// The element with this id, unpacked first when a held-back group holds it:
// a field's id is its register's id, "." and its name.
async function findHeld(id) {
  for (let i = 0; i < index.r.length && !document.getElementById(id); i++) {
    const r = regId(i);
    if (id === r || id.startsWith(r + '.')) await inflate(document.getElementById(index.b[index.r[i][3]][1]));
  }
  return document.getElementById(id);
}

// Shows the element with this id: unpacks its group, opens the group in the
// navigation and scrolls to it.
async function reveal(id) {
  const target = await findHeld(id);
  if (!target) return false;
  const block = target.closest('.rw-block');
  if (block) {
    await inflate(block);
    const entry = document.querySelector('nav details[data-id="' + CSS.escape(block.id) + '"]');
    if (entry) entry.open = true;
  }
  for (const old of document.querySelectorAll('.rw-hit')) old.classList.remove('rw-hit');
  target.classList.add('rw-hit');
  // Registers above the target take their real height a frame or two after
  // they come near the view, which can push it away again: scroll until it
  // stays.
  const frame = () => new Promise((done) => requestAnimationFrame(done));
  for (let tries = 0; tries < 4; tries++) {
    target.scrollIntoView({block: 'start'});
    const top = target.getBoundingClientRect().top;
    await frame();
    await frame();
    if (target.getBoundingClientRect().top === top) break;
  }
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

for (const entry of document.querySelectorAll('nav details.rw-group')) {
  entry.querySelector('summary').addEventListener('click', () => {
    // After the click has opened the entry.
    if (!entry.open) setTimeout(() => go(entry.dataset.id));
  });
}

const lazy = document.querySelectorAll('.rw-lazy');
if (lazy.length) {
  const near = new IntersectionObserver((seen) => {
    for (const s of seen) {
      if (s.isIntersecting) {
        near.unobserve(s.target);
        inflate(s.target);
      }
    }
  }, {root: main, rootMargin: '1500px 0px'});
  for (const block of lazy) near.observe(block);
}

// Search: names by case-insensitive substring, whole names first; a query
// that starts with "0x" finds registers by address, exact ones first, then
// those whose address begins with the digits typed so far.
const kMaxResults = 60;
const input = document.getElementById('rw-search');
const results = document.getElementById('rw-results');
let lower = null;

function find(query) {
  const found = [];
  const address = /^0x([0-9a-f]+)$/i.exec(query);
  if (address) {
    const digits = address[1].toUpperCase().replace(/^0+(?=.)/, '');
    const exact = parseInt(digits, 16);
    for (let i = 0; i < index.r.length; i++) {
      const a = index.r[i][2];
      const rank = a === exact ? 0 : a.toString(16).toUpperCase().startsWith(digits) ? 1 : -1;
      if (rank >= 0) found.push({rank, kind: 'register', i});
    }
  } else {
    if (!lower) {
      const low = (list) => list.map((e) => e[0].toLowerCase());
      lower = {b: low(index.b), r: low(index.r), f: index.f.map((f) => fieldName(f).toLowerCase())};
    }
    const q = query.toLowerCase();
    const scan = (names, kind) => {
      for (let i = 0; i < names.length; i++) {
        const at = names[i].indexOf(q);
        if (at >= 0) found.push({rank: names[i].length === q.length ? 0 : at === 0 ? 1 : 2, kind, i});
      }
    };
    scan(lower.b, 'group');
    scan(lower.r, 'register');
    scan(lower.f, 'field');
  }
  const order = {group: 0, register: 1, field: 2};
  found.sort((x, y) => x.rank - y.rank || order[x.kind] - order[y.kind] || x.i - y.i);
  return found.slice(0, kMaxResults);
}

function describe(hit) {
  if (hit.kind === 'group') return {id: index.b[hit.i][1], name: index.b[hit.i][0], note: 'group'};
  if (hit.kind === 'register') {
    const r = index.r[hit.i];
    return {id: regId(hit.i), name: r[0], note: 'register at ' + hex(r[2])};
  }
  const f = index.f[hit.i];
  return {id: regId(f[0]) + '.' + f[1], name: fieldName(f), note: 'field of ' + index.r[f[0]][0]};
}

function show() {
  const query = input.value.trim();
  results.replaceChildren();
  if (!query) return;
  for (const hit of find(query)) {
    const {id, name, note} = describe(hit);
    const a = document.createElement('a');
    a.href = '#' + encodeURIComponent(id);
    a.textContent = name;
    const small = document.createElement('small');
    small.textContent = note;
    a.append(' ', small);
    a.addEventListener('click', (event) => {
      event.preventDefault();
      go(id);
      results.replaceChildren();
    });
    const li = document.createElement('li');
    li.append(a);
    results.append(li);
  }
  if (!results.firstChild) {
    const li = document.createElement('li');
    li.textContent = 'Nothing found';
    results.append(li);
  }
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
document.getElementById('rw-finder').hidden = false;

// Ready once a deep link has been followed, into a held-back group too.
(location.hash.length > 1 ? reveal(fromHash()) : Promise.resolve()).finally(() => {
  document.documentElement.dataset.ready = '1';
  performance.mark('rw-ready');
});
})();
)js";

}  // namespace rw
