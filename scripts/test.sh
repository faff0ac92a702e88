#!/usr/bin/env bash
# Command 2: install what is missing, build, run every test; then the same under
# AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for preset in dev asan; do
  echo "== $preset ==" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
