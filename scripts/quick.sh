#!/usr/bin/env bash
# The quick loop while working on the code: builds the debug tree and runs the
# unit and end-to-end tests (the integration tests and the sanitizer, fuzz and
# release passes are left to scripts/test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/dev/build.ninja ] || cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev -LE integration
