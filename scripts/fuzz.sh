#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for the given number of seconds.
# Usage: scripts/fuzz.sh SECONDS [TARGET...]
# Seeds come from fuzz/seeds/<target>/ (and examples/ and the tests for the map
# and SVD readers); the corpus grows in build/fuzz/corpus/<target>, outside the
# source tree. A crash leaves its input in build/fuzz/findings/ and fails the
# script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_xml_reader fuzz_expression fuzz_macros fuzz_indirect fuzz_pipeline fuzz_svd_reader)

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

mkdir -p build/fuzz/findings build/fuzz/logs
# A run lasts its seconds however busy the machine is, so the targets run two
# at a time, one a core, and the smoke takes half as long.
fuzz_one() { # target corpus
  local t=$1 corpus=$2
  # -close_fd_mask=2: the targets' own warnings are noise here; libFuzzer and
  # the sanitizers keep reporting on a copy of standard error.
  ASAN_OPTIONS=detect_leaks=1 build/fuzz/fuzz/"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -close_fd_mask=2 -artifact_prefix=build/fuzz/findings/"$t"- -print_final_stats=1 "$corpus" 2>&1 |
    grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb|#[0-9]+ +DONE)|ERROR|SUMMARY' \
    > build/fuzz/logs/"$t" || true
}
running=0
for t in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$t
  mkdir -p "$corpus"
  [ -d "fuzz/seeds/$t" ] && cp -n fuzz/seeds/"$t"/* "$corpus"/ 2>/dev/null || true
  case $t in fuzz_xml_reader|fuzz_pipeline)
    find examples tests/e2e/cases -name '*.xml' -size -64k -exec cp -n {} "$corpus"/ \; 2>/dev/null || true ;;
  fuzz_svd_reader)
    find examples tests -iname '*.svd' -size -64k -exec cp -n {} "$corpus"/ \; 2>/dev/null || true ;;
  esac
  fuzz_one "$t" "$corpus" &
  running=$((running + 1))
  if [ "$running" -eq 2 ]; then wait; running=0; fi
done
wait

found=0
for t in "${targets[@]}"; do
  echo "== $t: ${seconds}s ==" >&2
  cat build/fuzz/logs/"$t"
  if ls build/fuzz/findings/"$t"-* >/dev/null 2>&1; then
    echo "$t: finding in build/fuzz/findings" >&2
    found=1
  fi
done
exit $found
