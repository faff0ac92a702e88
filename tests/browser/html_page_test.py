#!/usr/bin/env python3
"""The -html page in headless Chromium: loads without console errors and
marks itself ready, finds registers by name and by address, lands deep links,
draws each field over its own bits, opens groups from the navigation, brings
in the registers above and below as the reader scrolls, names every
definition as the header does, shows values as the map writes them, lists
the registers without JavaScript, shows odd names as text and nothing more,
and shows registers of large maps that it holds as data only. Writes a
screenshot of the fixture page.

Exits 77 (a skip to CTest), saying SKIPPED, when no browser can be started.
How fast the page gets ready is bench/page.py's business, not a test's: a
shared or sanitized machine makes any limit here fail for reasons of its own.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURE = os.path.join(HERE, '..', 'data', 'stm32f103', 'flat.xml')
SKIP = 77

try:
    from selenium import webdriver
    from selenium.common.exceptions import NoAlertPresentException, WebDriverException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError as error:
    print(f'SKIPPED: no selenium for {sys.executable} ({error}); scripts/install-deps.sh installs it')
    sys.exit(SKIP)

ODD_MAP = '''<Root name="ODD">
  <RegisterGroup name="&lt;img src=x onerror=&quot;window.injected=1&quot;&gt;" start="0x1000">
    <Register name="R&lt;b id=&quot;injected&quot;&gt;" start="+4" size="4"
              description="&lt;/script&gt;&lt;script&gt;window.injected=2&lt;/script&gt;">
      <BitField name="&apos;&quot;&gt;&lt;svg onload=window.injected=3&gt;" start="0" size="3"/>
    </Register>
  </RegisterGroup>
</Root>
'''
ODD_TARGET = '<i id="injected">'

RICH_MAP = '''<Root name="RICH">
  <RegisterGroup name="G" start="0x2000" description="Group text">
    <Register name="CTRL" start="+8" size="4" aka="CONTROL" access="read-write" reset_value="0x0000000F"
              description="Control register">
      <BitField name="MODE" start="0" size="2" description="Mode select">
        <Enum name="Off" start="0"/><Enum name="Any" start="0b1x" description="either"/><Enum name="Rest" is_default="1"/>
      </BitField>
      <BitField name="EN" start="4" size="1" access="rw"/>
      <BitField name="SPARE" start="8" size="4"/>
    </Register>
    <Register name="JUNK" start="+12" size="4" reset_value="0x12junk"/>
  </RegisterGroup>
  <Vector name="TIMER_IRQn" start="3"/>
</Root>
'''


def held_back_map(groups=3, registers=800, fields=4):
    """More registers than the page holds as markup: the last group waits."""
    lines = ['<Root name="LARGE">']
    for g in range(groups):
        lines.append(f'<RegisterGroup name="G{g}" start="0x{0x40000000 + g * 0x10000:X}">')
        for r in range(registers):
            lines.append(f'<Register name="G{g}_R{r}" start="+0x{r * 4:X}" size="4">' + ''.join(
                f'<BitField name="F{f}" start="{f * 8}" size="8"/>' for f in range(fields)) + '</Register>')
        lines.append('</RegisterGroup>')
    return '\n'.join(lines + ['</Root>\n'])


def fixture_fields(group, register):
    """(name, start, size) of a register's fields, read from the map."""
    root = ElementTree.parse(FIXTURE).getroot()
    for g in root.iter('RegisterGroup'):
        if g.get('name') == group:
            for r in g.iter('Register'):
                if r.get('name') == register:
                    return [(f.get('name'), int(f.get('start'), 0), int(f.get('size'), 0)) for f in r.iter('BitField')]
    raise LookupError(group + '_' + register)


def start_browser(script=True):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which('chromium') or '/usr/bin/chromium'
    for argument in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                     '--window-size=1280,900', '--lang=en'):
        options.add_argument(argument)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    if not script:
        options.add_experimental_option('prefs', {'profile.managed_default_content_settings.javascript': 2})
    driver_path = shutil.which('chromedriver') or '/usr/bin/chromedriver'
    return webdriver.Chrome(service=Service(driver_path), options=options)


class Page:
    def __init__(self, driver, path):
        self.driver, self.url = driver, 'file://' + path

    def open(self, fragment=''):
        self.driver.get('about:blank')
        self.driver.get(self.url + fragment)
        WebDriverWait(self.driver, 30).until(lambda d: d.execute_script('return document.documentElement.dataset.ready'))
        return self.driver.execute_script("return performance.getEntriesByName('rw-ready').length") == 1

    def js(self, code, *args, async_=False):
        if async_:
            return self.driver.execute_async_script(code, *args)
        return self.driver.execute_script(code, *args)

    def in_view(self, element_id):
        """Whether the element exists and its top is in the visible part of main."""
        return self.js('''const e = document.getElementById(arguments[0]);
            if (!e) return false;
            const m = document.getElementById('rw-main').getBoundingClientRect(), r = e.getBoundingClientRect();
            return r.top >= m.top - 4 && r.top < m.bottom - 20;''', element_id)

    def search(self, text):
        box = self.driver.find_element(By.ID, 'rw-search')
        box.clear()
        box.send_keys(text)
        WebDriverWait(self.driver, 10).until(lambda d: d.find_elements(By.CSS_SELECTOR, '#rw-results li'))
        return self.driver.find_elements(By.CSS_SELECTOR, '#rw-results a')

    def names(self, results):
        """The names that search results show, without their notes."""
        return [self.js('return arguments[0].firstChild.textContent', result) for result in results]

    def console_errors(self):
        return [entry['message'] for entry in self.driver.get_log('browser') if entry['level'] == 'SEVERE']


def check_fixture(page, screenshot):
    yield 'marks itself ready once', page.open()
    yield 'fetches nothing', page.js("return performance.getEntriesByType('resource').length") == 0

    results = page.search('USART1_DR')
    yield 'search by name lists the register first', page.names(results)[:1] == ['USART1_DR']
    results[0].click()
    yield 'the search result opens the register', page.in_view('USART1_DR') and page.js(
        'return location.hash') == '#USART1_DR'

    results = page.search('EXTI')
    yield 'search ranks a name that starts with the text before an earlier one that holds it', page.names(
        results)[:2] == ['EXTI', 'EXTI_IMR']
    results = page.search('F')
    yield 'search lists groups before registers of the same rank', page.names(results)[:2] == ['FSMC', 'FLASH']
    results = page.search('0x40013804')
    yield 'search by address finds USART1_DR alone', page.names(results) == ['USART1_DR']

    page.open('#USART1_CR1')
    yield 'a deep link lands on its register', page.in_view('USART1_CR1')

    for group, register in (('USART1', 'CR1'), ('GPIOA', 'CRL'), ('RCC', 'CFGR')):
        page.open('#' + group + '_' + register)
        drawn = page.js('''const pic = document.getElementById(arguments[0]).querySelector('.rw-pic');
            pic.scrollIntoView();
            const box = (e) => { const r = e.getBoundingClientRect(); return [r.left, r.right]; };
            const bits = {}, cells = {};
            for (const th of pic.rows[0].cells) bits[th.textContent] = box(th);
            for (const td of pic.querySelectorAll('td[tabindex]')) cells[td.textContent] = box(td);
            return [bits, cells];''', group + '_' + register)
        bits, cells = drawn
        wrong = [name for name, start, size in fixture_fields(group, register)
                 if name not in cells
                 or abs(cells[name][0] - bits[str(start + size - 1)][0]) > 1.5
                 or abs(cells[name][1] - bits[str(start)][1]) > 1.5]
        yield f'{group}_{register}: every field spans the cells of its bits {wrong or ""}', not wrong

    page.open('#USART1_CR1')
    tip = page.js('''const cell = [...document.querySelectorAll('#USART1_CR1 .rw-pic td[tabindex]')]
            .find((td) => td.textContent === 'UE');
        cell.focus();
        return getComputedStyle(cell, '::after').content;''')
    yield 'focusing a field shows its bits and mask', 'bits 13' in tip and 'mask 0x2000' in tip
    page.driver.save_screenshot(screenshot)
    with open(screenshot, 'rb') as png:
        yield 'the screenshot is written', png.read(8) == b'\x89PNG\r\n\x1a\n'

    summary = page.driver.find_element(By.XPATH, '//nav//details[@data-id="USART2"]/summary')
    summary.click()
    WebDriverWait(page.driver, 10).until(lambda d: page.in_view('USART2'))
    links = page.driver.find_elements(By.XPATH, '//nav//details[@data-id="USART2"]//a')
    yield 'clicking a group lists its registers and shows them', (
        links and all(link.is_displayed() for link in links) and page.in_view('USART2')
        and page.driver.find_element(By.ID, 'USART2_SR').is_displayed())
    page.open('#USART1_CR1')
    shown = page.js("return document.querySelectorAll('.rw-reg').length")
    for _ in range(6):
        page.js("const m = document.getElementById('rw-main'); m.scrollTop = m.scrollHeight;")
        page.js('const done = arguments[0]; requestAnimationFrame(() => requestAnimationFrame(done));', async_=True)
    yield 'scrolling down brings in the registers below', page.js(
        "return document.querySelectorAll('.rw-reg').length") > shown + 8
    page.open('#GPIOA_CRL')
    moved = page.js('''
        const done = arguments[0], main = document.getElementById('rw-main');
        const target = document.getElementById('GPIOA_CRL'), top = target.getBoundingClientRect().top;
        const count = () => document.querySelectorAll('#rw-main > section').length, before = count();
        let scrolled = 0;
        const up = (tries) => {
          if (count() > before || tries === 0) {
            return done([target.getBoundingClientRect().top - top - scrolled, count() - before]);
          }
          const was = main.scrollTop;
          main.scrollTop -= 300;
          scrolled += was - main.scrollTop;
          requestAnimationFrame(() => requestAnimationFrame(() => up(tries - 1)));
        };
        up(50);''', async_=True)
    yield f'what comes in above keeps the view where it was {moved}', abs(moved[0]) < 2 and moved[1] > 0
    page.open('#GPIOA_CRL')
    yield 'scrolling up brings in everything above, down to the first segment', page.js('''
        const done = arguments[0], main = document.getElementById('rw-main');
        const up = (tries) => {
          if (document.querySelector('#rw-main > section').className === 'rw-segment') return done(true);
          if (tries === 0) return done(false);
          main.scrollTop = 0;
          requestAnimationFrame(() => requestAnimationFrame(() => up(tries - 1)));
        };
        up(200);''', async_=True)
    errors = page.console_errors()
    yield f'no console errors {errors or ""}', not errors


def check_rich(page, header):
    page.open('#CTRL')
    defined = set()
    with open(header) as lines:
        for line in lines:
            if line.startswith('#define ') and not line.split()[1].endswith('_h'):
                defined.add(line.split()[1])
    shown = set(page.js("""return [...document.querySelectorAll('main code')].filter((c) => !c.closest('.rw-enum'))
        .map((c) => c.textContent);"""))
    yield f'every definition named as the header does {sorted(shown ^ defined) or ""}', shown == defined
    yield 'enumerated values as the map writes them', page.js(
        """return [...document.querySelectorAll('#CTRL .rw-enum tbody tr')].map((tr) => tr.innerText.trim()
            .replace(/\\s+/g, ' '));""") == ['0 Off', '0b1x Any either', 'default Rest']
    props = page.js("""const out = {};
        for (const reg of document.querySelectorAll('.rw-reg')) {
          const dts = [...reg.querySelectorAll(':scope > .rw-props > dt')];
          out[reg.id] = Object.fromEntries(dts.map((dt) => [dt.textContent, dt.nextElementSibling.textContent]));
        }
        return out;""")
    yield 'a reset value shows when the whole of it is a number', (
        props['CTRL'].get('Reset value') == '0x0000000F' and 'Reset value' not in props['JUNK'])
    yield 'address, offset, size and access as before', (
        props['CTRL']['Address'] == '0x2008' and props['CTRL']['Offset'].startswith('0x8')
        and props['CTRL']['Size'] == '4 bytes' and props['CTRL']['Access'] == 'read-write')
    yield 'descriptions show', page.js("return document.querySelector('#CTRL .rw-desc').textContent") == (
        'Control register')
    page.open('#CTRL.EN')
    yield 'a deep link to a field lands on its row', page.in_view('CTRL.EN')
    results = page.search('SPARE')
    yield 'search names a field the header leaves out as the map does', page.names(results)[:1] == ['SPARE']
    errors = page.console_errors()
    yield f'no console errors {errors or ""}', not errors


def check_base64_by_hand(page):
    """A browser without Uint8Array.fromBase64 decodes the data in the page's own loop."""
    page.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': 'delete Uint8Array.fromBase64;'})
    page.open('#CTRL.EN')
    yield 'without a native base64 decoder the data still reads', page.in_view('CTRL.EN') and page.js(
        "return typeof Uint8Array.fromBase64") == 'undefined'


def check_odd_names(page):
    page.open()
    try:
        page.driver.switch_to.alert
        alert = True
    except NoAlertPresentException:
        alert = False
    yield 'names run no script', not alert and page.js('return window.injected') is None
    yield 'names make no element', page.js(
        "return document.querySelectorAll('#injected, img, svg, b, i').length") == 0
    yield 'names read as written', page.driver.find_element(By.TAG_NAME, 'h1').text.startswith(ODD_TARGET) and (
        page.driver.find_element(By.CSS_SELECTOR, '.rw-reg h4').text == 'R<b id="injected">')
    results = page.search('<b id')
    yield 'search finds an odd name', page.names(results)[:1] == ['R<b id="injected">']
    errors = page.console_errors()
    yield f'no console errors {errors or ""}', not errors


def check_held_back(page):
    page.open()
    yield 'a register far from the view is not built', page.js("return document.getElementById('G2_R500')") is None
    page.open('#G2_R500')
    yield 'a deep link into it shows its register', page.in_view('G2_R500')
    page.open()
    results = page.search('G2_R799_F3')
    yield 'search finds a field in it', page.names(results)[:1] == ['G2_R799_F3']
    results[0].click()
    yield 'the result shows the field', page.in_view('G2_R799.F3')
    errors = page.console_errors()
    yield f'no console errors {errors or ""}', not errors


def check_without_script(page):
    page.driver.get(page.url)
    register = page.driver.find_element(By.ID, 'USART1_DR')
    yield 'without JavaScript the registers read', register.is_displayed() and '0x40013804' in register.text and (
        'DR 8:0' in register.text)
    yield 'without JavaScript the search stays hidden', not page.driver.find_element(By.ID, 'rw-search').is_displayed()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('regwright')
    parser.add_argument('--screenshot', required=True)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix='regwright-browser-')
    try:
        pages = {}
        for name, map_text, extra in (('fixture', None, ['STM32F103']), ('odd', ODD_MAP, [ODD_TARGET]),
                                      ('rich', RICH_MAP, ['RICH', '-regbaseoffs', '-excludebitfield', 'SPARE']), ('large', held_back_map(), ['LARGE'])):
            map_path = FIXTURE
            if map_text is not None:
                map_path = os.path.join(work, name + '.xml')
                with open(map_path, 'w') as out:
                    out.write(map_text)
            pages[name] = os.path.join(work, name + '.html')
            subprocess.run([args.regwright, map_path, os.path.join(work, name + '.h'), *extra, '-html', pages[name]],
                           check=True)
        try:
            driver = start_browser()
        except (WebDriverException, OSError) as error:
            print(f'SKIPPED: cannot start Chromium through chromedriver: {error}')
            return SKIP
        passed = failed = 0
        try:
            checks = [check_fixture(Page(driver, pages['fixture']), args.screenshot),
                      check_odd_names(Page(driver, pages['odd'])),
                      check_rich(Page(driver, pages['rich']), os.path.join(work, 'rich.h')),
                      check_held_back(Page(driver, pages['large'])),
                      check_base64_by_hand(Page(driver, pages['rich']))]
            plain = start_browser(script=False)
            checks.append(check_without_script(Page(plain, pages['fixture'])))
            for check in checks:
                for what, ok in check:
                    print(('ok    ' if ok else 'FAIL  ') + what)
                    passed, failed = passed + bool(ok), failed + (not ok)
            plain.quit()
        finally:
            driver.quit()
        print(f'{passed} passed, {failed} failed')
        return 1 if failed else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
