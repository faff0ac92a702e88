#!/usr/bin/env bash
# Builds the release binary, writes a vendor-sized SVD file (4 MiB) and times
# turning it into a header, median of the runs; each run is paired with one
# that also writes the struct-style header (-structs), and the median of the
# pairs' ratios is what -structs adds.
# Usage: bench/svd.sh [RUNS]
# REGWRIGHT=<binary> measures that binary instead of building one.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}
if [ -z "${REGWRIGHT:-}" ]; then
  scripts/install-deps.sh
  cmake --preset release >/dev/null
  cmake --build --preset release --target regwright >/dev/null
  REGWRIGHT="$(pwd)/build/release/src/tool/regwright"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/generate_svd.py > "$work/device.svd"
python3 - "$REGWRIGHT" "$work" "$runs" <<'PY'
import os, resource, statistics, subprocess, sys, time
binary, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
svd = os.path.join(work, 'device.svd')
header = os.path.join(work, 'device.h')
structs = os.path.join(work, 'device_structs.h')
walls, cpus, ratios = [], [], []
def timed(arguments):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(arguments, check=True)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime
for _ in range(runs):
    wall, cpu = timed([binary, svd, header, 'SYNTH1'])
    walls.append(wall)
    cpus.append(cpu)
    with_structs, _ = timed([binary, svd, header, 'SYNTH1', '-structs', structs])
    ratios.append(with_structs / wall)
registers = sum(1 for line in open(header) if '(*(volatile' in line and '_BITBAND ' not in line)
print(f'{os.path.getsize(svd)} bytes of SVD, {registers} registers, {os.path.getsize(header)} bytes of header')
print(f'median of {runs} runs: {statistics.median(walls) * 1000:.1f} ms wall, '
      f'{statistics.median(cpus) * 1000:.1f} ms CPU (fastest {min(walls) * 1000:.1f} ms)')
print(f'with -structs ({os.path.getsize(structs)} bytes more): {statistics.median(ratios):.3f} x the wall time, '
      f'median of {runs} pairs')
PY
