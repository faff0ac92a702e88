#!/usr/bin/env python3
"""Times regwright against `xmllint --noout --stream` on synthetic maps.

For each input: bytes, registers, median wall time of N runs, median CPU time
(user + system), and peak RSS, for regwright and for xmllint on the same file.
The two programs run alternately, so that load from other processes on the
machine falls on both alike.

Peak RSS comes from one more run under GNU time: a child forked from this
Python process would report Python's own pages as its high-water mark.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURE = os.path.join(HERE, '..', 'tests', 'data', 'stm32f103', 'flat.xml')


def run_once(argv, cwd):
    start = time.perf_counter()
    proc = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    err = proc.stderr.read()
    proc.stderr.close()
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        sys.exit(f'{argv[0]} failed ({proc.returncode}): {err[:500]!r}')
    return elapsed, usage.ru_utime + usage.ru_stime


def peak_rss_kib(argv, cwd):
    result = subprocess.run(['/usr/bin/time', '-f', '%M'] + argv, cwd=cwd, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True, check=True)
    return int(result.stderr.strip().splitlines()[-1])


def summary(samples, rss):
    return statistics.median(s[0] for s in samples), statistics.median(s[1] for s in samples), rss


def measure_pair(first, second, cwd, runs):
    """Medians for both commands, run alternately."""
    a, b = [], []
    for _ in range(runs):
        a.append(run_once(first, cwd))
        b.append(run_once(second, cwd))
    return summary(a, peak_rss_kib(first, cwd)), summary(b, peak_rss_kib(second, cwd))


def generate(path, form, groups, registers, fields):
    with open(path, 'w') as f:
        if form == 'svd':
            subprocess.run([sys.executable, os.path.join(HERE, 'generate_svd.py')], stdout=f, check=True)
        else:
            subprocess.run([sys.executable, os.path.join(HERE, 'generate.py'), form, '--groups', str(groups),
                            '--registers', str(registers), '--fields', str(fields)], stdout=f, check=True)
    return os.path.getsize(path)


def count_registers(header):
    """Register definitions in a header: the volatile lines, bit-band aliases aside."""
    with open(header, errors='replace') as f:
        return sum(1 for line in f if '(*(volatile' in line and '_BITBAND ' not in line)


def main():
    p = argparse.ArgumentParser(description=__doc__)
    p.add_argument('--regwright', required=True)
    p.add_argument('--runs', type=int, default=5)
    p.add_argument('--quick', action='store_true', help='inputs a tenth of the size (a smoke run)')
    p.add_argument('--only', action='append', metavar='ROW',
                   help='measure only this row (repeatable); the summary then lists what it can')
    a = p.parse_args()

    scale = 10 if a.quick else 1
    cases = [  # name, form, groups, registers per group, fields
        ('tiny', 'flat', 1, 4, 8),
        ('10k flat', 'flat', 10 // scale or 1, 1000 // scale, 8),
        ('100k flat', 'flat', 100 // scale, 1000, 8),
        ('100k dense', 'dense', 100 // scale, 1000, 8),
        ('1000x100 dense', 'dense', 1000 // scale, 100, 8),
        ('100k loop', 'loop', 100 // scale, 1000, 8),
        ('4 MB svd', 'svd', 0, 0, 0),
    ]
    if a.only:
        cases = [case for case in cases if case[0] in a.only]
    rows = []
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, 'out.h')
        if os.path.exists(FIXTURE) and (not a.only or 'device' in a.only):
            src = os.path.realpath(FIXTURE)
            rw, lint = measure_pair([a.regwright, src, out], ['xmllint', '--noout', '--stream', src], work, a.runs)
            rows.append(('device', os.path.getsize(src), 956, rw, lint))
        for name, form, groups, registers, fields in cases:
            src = os.path.join(work, name.replace(' ', '_') + ('.svd' if form == 'svd' else '.xml'))
            size = generate(src, form, groups, registers, fields)
            flat_src = src
            if form == 'loop':  # xmllint reads the equivalent flat file, the same work for it
                flat_src = os.path.join(work, 'loop_as_flat.xml')
                generate(flat_src, 'flat', groups, registers, fields)
            rw, lint = measure_pair([a.regwright, src, out], ['xmllint', '--noout', '--stream', flat_src], work,
                                    a.runs)
            if flat_src != src:
                os.remove(flat_src)
            rows.append((name, size, count_registers(out), rw, lint))
            os.remove(src)

    print(f'{"input":<14} {"bytes":>11} {"registers":>9} | {"regwright s":>11} {"CPU s":>7} {"RSS MiB":>8} | '
          f'{"xmllint s":>10} {"CPU s":>7} {"RSS MiB":>8} | {"ratio":>6}')
    for name, size, regs, (t, cpu, rss), (lt, lcpu, lrss) in rows:
        print(f'{name:<14} {size:>11} {regs:>9} | {t:>11.4f} {cpu:>7.3f} {rss / 1024:>8.1f} | '
              f'{lt:>10.4f} {lcpu:>7.3f} {lrss / 1024:>8.1f} | {t / lt:>6.2f}')
    by = {r[0]: r for r in rows}
    print()
    for name in ('100k flat', '100k dense', '1000x100 dense'):
        if name in by:
            row = by[name]
            print(f'regwright / xmllint, {name + ":":<16}  {row[3][0] / row[4][0]:.2f} (target <= 0.5)')
    for name in ('100k flat', '100k dense', '1000x100 dense'):
        if name in by:
            row = by[name]
            print(f'peak RSS / input, {name + ":":<16}     {row[3][2] * 1024 / row[1]:.2f} (target <= 2)')
    if '100k loop' in by and '100k flat' in by:
        print(f'loop / flat time:                      {by["100k loop"][3][0] / by["100k flat"][3][0]:.2f} (target <= 1.2)')
    if '100k flat' in by and '10k flat' in by:
        print(f'10x input time ratio:                  {by["100k flat"][3][0] / by["10k flat"][3][0]:.2f} (target <= 11)')
    if 'tiny' in by:
        print(f'tiny map whole run:                    {by["tiny"][3][0] * 1000:.2f} ms (target <= 5)')
    if '4 MB svd' in by:
        print(f'4 MB SVD to header:                    {by["4 MB svd"][3][0] * 1000:.1f} ms (target <= 15)')


if __name__ == '__main__':
    main()
