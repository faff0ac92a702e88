#!/usr/bin/env bash
# Command 2: install what is missing, then build and run every test (unit,
# end-to-end, browser, integration, and each fuzz target on its seeds) under
# AddressSanitizer + UndefinedBehaviorSanitizer, leaks counting as failures.
#
# One build, not three: on a two-core machine that others share, each full
# build with its tests takes minutes, and the command is meant to end within
# six minutes there (CI runs it as it is). The sanitizer pass runs the same
# suite as the others and catches what they catch and more. On request:
#   TEST_PRESETS="asan release"  also the hardened release build
#                                (_FORTIFY_SOURCE=2, -fstack-protector-strong,
#                                static: the binary that ships); "dev" adds
#                                the debug build
#   FUZZ_SMOKE_SECONDS=5         before the last pass, builds the libFuzzer
#                                targets (clang) and fuzzes each for that long
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
read -r -a presets <<< "${TEST_PRESETS:-asan}"
smoke=${FUZZ_SMOKE_SECONDS:-0}
last=$(( ${#presets[@]} - 1 ))
for i in "${!presets[@]}"; do
  preset=${presets[$i]}
  # The fuzz smoke goes before the last pass, so that the test summary closes
  # the output.
  if [ "$i" -eq "$last" ] && [ "$smoke" -gt 0 ]; then
    echo "== fuzz smoke ==" >&2
    scripts/fuzz.sh "$smoke"
  fi
  echo "== $preset ==" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
