#!/usr/bin/env bash
# The quick loop while working on the code: builds the debug tree and runs the
# unit, end-to-end, browser and fuzz-seed tests. The hostile end-to-end cases
# (huge and endless inputs: as much CPU time as all the rest together) and the
# integration tests are left to scripts/test.sh and its sanitizer pass;
# `ctest --preset dev -L hostile` runs them on their own.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/dev/build.ninja ] || cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev -LE 'integration|hostile'
