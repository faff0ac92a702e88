#!/usr/bin/env python3
"""Times the -html page in headless Chromium, median of N runs.

    /usr/bin/python3 bench/page.py --regwright BINARY [--runs N] [--svd-bytes N] [--also FILE]...

Two pages: the fixture device's (tests/data/stm32f103/flat.xml) and a large
device's, written from generate_svd.py's SVD file; --also adds the page of a
further map or SVD file. For each page:

  load    navigation start to the end of the load event
  ready   navigation start to the page's own 'rw-ready' mark (it sets
          document.documentElement.dataset.ready at the same moment)
  #last   the same, opening the page at the last register's deep link
  link    in a ready page, setting location.hash to a register's id, until
          that register is shown
  click   in a ready page, clicking the register's link in the navigation
          (its group already open), until it is shown
  search  in a ready page, typing the register's whole name into the search
          box and choosing its result, until it is shown
  ref     the reference: the load event of a fixed page of plain markup
          (reference_page below: 500 sections of a heading, a list and a table),
          loaded just before the page in every run; "x" is the median of
          load / ref, which moves less with the machine's load than either
          time and compares across sessions and versions

A register counts as shown from the first frame in which its top is inside
the visible part of the page and where it stays in the next frame; frames
come about every 16 ms, so that is the resolution of the last three columns.
They are measured for the middle register and the last one, each in a freshly
loaded page, and the table gives the slower of the two medians.

The pages alternate within each run, so that load from other processes falls
on both alike. Debian's chromium, chromium-driver and python3-selenium are
needed (scripts/install-deps.sh installs them), run under Debian's python3.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURE = os.path.join(HERE, '..', 'tests', 'data', 'stm32f103', 'flat.xml')

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError as error:
    sys.exit(f'no selenium for {sys.executable} ({error}): run /usr/bin/python3 after scripts/install-deps.sh')

# Polls every frame until the register is where it stays; calls back with the
# time from the action to that frame, in milliseconds (-1 if it never comes).
SHOW = '''
const [mode, id, name, done] = arguments;
const main = document.getElementById('rw-main');
const top = () => {
  const e = document.getElementById(id);
  if (!e) return null;
  const m = main.getBoundingClientRect(), r = e.getBoundingClientRect();
  return r.top >= m.top - 4 && r.top < m.bottom - 20 ? r.top : null;
};
let last = null, lastAt = 0;
const start = performance.now();
const watch = () => {
  const now = performance.now(), at = top();
  if (at !== null && at === last) return done(lastAt - start);
  if (now - start > 30000) return done(-1);
  last = at;
  lastAt = now;
  requestAnimationFrame(watch);
};
if (mode === 'link') {
  location.hash = '#' + encodeURIComponent(id);
} else if (mode === 'click') {
  document.querySelector('nav a[href="#' + CSS.escape(encodeURIComponent(id)) + '"]').click();
} else {
  const input = document.getElementById('rw-search');
  input.value = name;
  input.dispatchEvent(new Event('input'));
  const hit = [...document.querySelectorAll('#rw-results a')]
      .find((a) => a.getAttribute('href') === '#' + encodeURIComponent(id));
  if (!hit) return done(-2);
  hit.click();
}
requestAnimationFrame(watch);
'''

# The number of registers, and for the middle and the last register its id,
# its name, and (for a click) the group whose navigation entry must be open
# first. Pages that carry a JSON search index (up to commit 62004e3) and pages
# that carry packed data (base64url, then gzip; see src/html/html_data.h) both
# say so, so that one run can time both.
TARGETS = '''
const done = arguments[arguments.length - 1];
const index = document.getElementById('rw-index');
if (index) {
  const old = JSON.parse(index.textContent);
  const pick = (i) => {
    const r = old.r[i];
    return [r[1] === 0 ? r[0] : r[1], r[0], old.b[r[3]][1]];
  };
  return done([old.r.length, pick(old.r.length >> 1), pick(old.r.length - 1)]);
}
const text = document.getElementById('rw-data').textContent.trim().replace(/-/g, '+').replace(/_/g, '/');
const bytes = Uint8Array.from(atob(text + '='.repeat(-text.length & 3)), (c) => c.charCodeAt(0));
new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'))).json().then((d) => {
  const blockOf = [];
  d.b.forEach((b, i) => { for (let k = 0; k < b[2]; k++) blockOf.push(i); });
  const pick = (i) => {
    const r = d.r[i];
    return [d.s[r[1] === 0 ? r[0] : r[1]], d.s[r[0]], d.s[d.b[blockOf[i]][1]]];
  };
  done([d.r.length, pick(d.r.length >> 1), pick(d.r.length - 1)]);
});
'''


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which('chromium') or '/usr/bin/chromium'
    for argument in ('--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                     '--disable-background-networking', '--disable-component-update', '--disable-sync',
                     '--user-data-dir=' + profile, '--window-size=1280,900', '--lang=en'):
        options.add_argument(argument)
    driver_path = shutil.which('chromedriver') or '/usr/bin/chromedriver'
    driver = webdriver.Chrome(service=Service(driver_path), options=options)
    driver.set_script_timeout(60)
    return driver


class Page:
    def __init__(self, label, path):
        self.label, self.path, self.url = label, path, 'file://' + path
        self.samples = {}
        self.registers = self.targets = None

    def add(self, column, value):
        self.samples.setdefault(column, []).append(value)

    def open(self, driver, fragment=''):
        """Loads the page afresh; the load event's end and the ready mark, in ms."""
        driver.get('about:blank')
        driver.get(self.url + fragment)
        WebDriverWait(driver, 60).until(lambda d: d.execute_script('return document.documentElement.dataset.ready'))
        return driver.execute_script('''return [performance.getEntriesByType('navigation')[0].loadEventEnd,
            performance.getEntriesByName('rw-ready')[0].startTime];''')

    def run(self, driver, reference):
        driver.get('about:blank')
        driver.get(reference)
        self.add('ref', driver.execute_script("return performance.getEntriesByType('navigation')[0].loadEventEnd"))
        load, ready = self.open(driver)
        self.add('load', load)
        self.add('ready', ready)
        if self.targets is None:
            self.registers, *self.targets = driver.execute_async_script(TARGETS)
        last_id = self.targets[-1][0]
        self.add('#last', self.open(driver, '#' + last_id)[1])
        for mode in ('link', 'click', 'search'):
            for which, (register_id, name, group) in enumerate(self.targets):
                self.open(driver)
                if mode == 'click':
                    driver.execute_script('document.querySelector(\'nav details[data-id="\' + CSS.escape(arguments[0])'
                                          ' + \'"]\').open = true;', group)
                    # A page may list a group's registers only once it opens.
                    WebDriverWait(driver, 10).until(lambda d: d.execute_script(
                        'return document.querySelector(\'nav a[href="#\' + CSS.escape(encodeURIComponent(arguments[0]))'
                        ' + \'"]\')', register_id))
                shown = driver.execute_async_script(SHOW, mode, register_id, name)
                if shown < 0:
                    sys.exit(f'{self.label}: {register_id} was not shown after a {mode}')
                self.add(f'{mode} {which}', shown)

    def medians(self):
        m = {column: statistics.median(values) for column, values in self.samples.items()}
        m['x'] = statistics.median(load / ref for load, ref in zip(self.samples['load'], self.samples['ref']))
        for mode in ('link', 'click', 'search'):
            m[mode] = max(m[f'{mode} {which}'] for which in range(len(self.targets)))
        return m


def reference_page():
    """Plain markup laid out in full, the same in every version of the tool."""
    parts = ['<!DOCTYPE html>\n<html lang="en"><head><meta charset="utf-8"><title>reference</title></head><body>\n']
    for s in range(500):
        parts.append(f'<section id="S{s}"><h2>Section {s}</h2><dl><dt>Address<dd>0x{0x40000000 + 4 * s:08X}'
                     f'<dt>Size<dd>32 bits</dl><table><tr><th>Bits<th>Name<th>Definition</tr>')
        parts.extend(f'<tr><td>{4 * f + 3}:{4 * f}<td>F{f}<td><code>SECTION{s}_F{f}_MASK 0x{0xF << 4 * f:X}</code>'
                     '</tr>' for f in range(8))
        parts.append('</table></section>\n')
    return ''.join(parts + ['</body></html>\n'])


def write_page(regwright, source, target, html):
    subprocess.run([regwright, source, html[:-5] + '.h', target, '-html', html], check=True,
                   stdout=subprocess.DEVNULL)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--regwright', required=True)
    parser.add_argument('--runs', type=int, default=7)
    parser.add_argument('--svd-bytes', type=int, default=4 << 20, help='size of the large device\'s SVD file')
    parser.add_argument('--also', action='append', default=[], metavar='FILE', help='a further map or SVD file')
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix='regwright-page-bench-')
    driver = None
    try:
        fixture = Page('fixture', os.path.join(work, 'fixture.html'))
        write_page(args.regwright, FIXTURE, 'STM32F103', fixture.path)
        svd = os.path.join(work, 'device.svd')
        with open(svd, 'w') as out:
            subprocess.run([sys.executable, os.path.join(HERE, 'generate_svd.py'), '--bytes', str(args.svd_bytes)],
                           stdout=out, check=True)
        large = Page('large', os.path.join(work, 'large.html'))
        write_page(args.regwright, svd, 'SYNTH1', large.path)
        pages = [fixture, large]
        for number, source in enumerate(args.also):
            label = os.path.splitext(os.path.basename(source))[0][:8]
            pages.append(Page(label, os.path.join(work, f'also{number}.html')))
            write_page(args.regwright, source, label.upper(), pages[-1].path)
        reference = os.path.join(work, 'reference.html')
        with open(reference, 'w') as out:
            out.write(reference_page())
        driver = start_browser(os.path.join(work, 'profile'))
        for _ in range(args.runs):
            for page in pages:
                page.run(driver, 'file://' + reference)

        print(f'median of {args.runs} runs, ms; link, click and search: the slower of the middle and the last '
              'register')
        print(f'{"page":<8} {"registers":>9} {"MB":>6} | {"load":>6} {"ready":>6} {"#last":>6} | '
              f'{"link":>6} {"click":>6} {"search":>6} | {"ref":>6} {"x":>5}')
        for page in pages:
            m = page.medians()
            print(f'{page.label:<8} {page.registers:>9} {os.path.getsize(page.path) / 1e6:>6.1f} | '
                  + ' '.join(f'{m[c]:>6.0f}' for c in ('load', 'ready', '#last')) + ' | '
                  + ' '.join(f'{m[c]:>6.0f}' for c in ('link', 'click', 'search'))
                  + f' | {m["ref"]:>6.0f} {m["x"]:>5.2f}')
        print('each register: middle / last')
        for page in pages:
            m = page.medians()
            print(f'{page.label:<8} ' + '   '.join(
                f'{mode} {m[mode + " 0"]:.0f} / {m[mode + " 1"]:.0f}' for mode in ('link', 'click', 'search')))
        return 0
    finally:
        if driver is not None:
            driver.quit()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
