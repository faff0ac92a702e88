#!/usr/bin/env bash
# Command 2: install what is missing, then build and run every test (unit,
# end-to-end, browser, integration) under AddressSanitizer +
# UndefinedBehaviorSanitizer (leaks count as failures), after a short run of
# each fuzz target so that none of them rots.
#
# One full build, not two: on a two-core machine that others share, each full
# build with its tests takes several minutes, and the command is meant to end
# within six minutes there (CI runs it as it is). The sanitizer pass runs the
# same suite as the others and catches what they catch and more; the fuzz
# targets are built by clang, so a second compiler's warnings still stop the
# command. The hardened release build (_FORTIFY_SOURCE=2,
# -fstack-protector-strong, linked statically: the binary that ships) and the
# debug build run on request: TEST_PRESETS="asan release", or "dev asan
# release". FUZZ_SMOKE_SECONDS (5) sets the fuzz runs; 0 skips them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
read -r -a presets <<< "${TEST_PRESETS:-asan}"
smoke=${FUZZ_SMOKE_SECONDS:-5}
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
