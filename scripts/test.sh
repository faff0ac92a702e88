#!/usr/bin/env bash
# Command 2: install what is missing, then build and run every test under
# AddressSanitizer + UndefinedBehaviorSanitizer (leaks count as failures) and
# in the hardened release build (_FORTIFY_SOURCE=2, -fstack-protector-strong);
# between the two, each fuzz target runs briefly so that none of them rots.
# The debug build is left out by default: on two cores each full build takes
# minutes, and the two builds here already run the same suite. Ask for it with
# TEST_PRESETS="dev asan release". FUZZ_SMOKE_SECONDS (5) sets the fuzz runs;
# 0 skips them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
read -r -a presets <<< "${TEST_PRESETS:-asan release}"
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
