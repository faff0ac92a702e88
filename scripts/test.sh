#!/usr/bin/env bash
# Command 2: install what is missing, then build and run every test three
# ways: the debug build; under AddressSanitizer + UndefinedBehaviorSanitizer
# (leaks count as failures); the hardened release build (_FORTIFY_SOURCE=2,
# -fstack-protector-strong). Between them, each fuzz target runs briefly so
# that none of them rots (FUZZ_SMOKE_SECONDS, 20 by default; 0 skips).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
pass() {
  echo "== $1 ==" >&2
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  ctest --preset "$1"
}
pass dev
pass asan
smoke=${FUZZ_SMOKE_SECONDS:-20}
if [ "$smoke" -gt 0 ]; then
  echo "== fuzz smoke ==" >&2
  scripts/fuzz.sh "$smoke"
fi
pass release
