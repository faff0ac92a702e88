#!/usr/bin/env bash
# Runs one end-to-end case against the built binary and compares byte for byte.
#
# A case folder holds:
#   args       one argument per line (@DATA@ -> tests/data, @CASE@ -> this folder)
#   input/     files copied into the empty working folder the binary runs in
#   expected/  files that must exist afterwards with exactly these bytes
#   body       optional: the definitions part of out.h, between the include
#              guard's empty line and the closing empty line and "#endif"
#   absent     optional: names of files that must not exist afterwards, one per line
#   stderr     expected standard error (@WORK@ stands for the working folder); empty when missing
#   stdout     expected standard output; empty when missing
#   status     expected exit status; 0 when missing
#   setup.sh   optional: runs in the working folder before the binary
#   check.sh   optional: runs in the working folder afterwards; must exit 0
#   script.sh  optional: runs in place of the binary, for cases that start it
#              their own way (signals, limits); it must exit 0 and the binary's
#              status and output are then its business
#   max_rss_mib optional: the binary's peak resident memory must stay below this
#   no_check_run optional: why the run with -check (below) is left out
# The binary sees argv[0] "regwright", HOME inside the working folder, LC_ALL=C.
#
# A case that runs the binary on its own arguments (no script.sh) and is not a
# check-* case also runs once more with -check added, and must leave the same
# files, standard output and exit status: the checks only read the map. That
# run is part of each case rather than a case of its own that reruns all the
# others, so that the cases that take long (the hostile ones) spread over
# CTest's jobs, each within its own time limit, and the run without -check is
# the case's own instead of a third. The few slow cases whose map never
# reaches the checks in a shape of its own (a load that fails, a map of one
# register) leave it out with no_check_run.
set -u
binary=$1 case_dir=$2
data_dir=$(cd "$(dirname "$0")/../data" && pwd)

# The working folder, and beside it the one the run with -check leaves.
temp=$(mktemp -d)
work=$temp/work checked=$temp/checked
trap 'rm -rf "$temp"' EXIT

args=()
if [ -f "$case_dir/args" ]; then
  while IFS= read -r line || [ -n "$line" ]; do
    line=${line//@DATA@/$data_dir}
    line=${line//@CASE@/$case_dir}
    args+=("$line")
  done < "$case_dir/args"
fi

export HOME="$work/home" LC_ALL=C
unset LARKSPAN_ROOT_USER_DIR
export CASE_DIR="$case_dir" DATA_DIR="$data_dir" REGWRIGHT="$binary"

# A fresh working folder at the same path each time, so that outputs which
# name the folder are the same in both runs.
prepare() { # [quiet]
  cd / && { [ ! -e "$work" ] || rm -rf "$work"; } && mkdir -p "$work/home" || exit 1
  if [ -d "$case_dir/input" ]; then cp -a "$case_dir/input/." "$work/"; fi
  cd "$work" || exit 1
  [ -f "$case_dir/setup.sh" ] || return 0
  if [ $# -gt 0 ]; then bash "$case_dir/setup.sh" > /dev/null 2>&1; else bash "$case_dir/setup.sh"; fi ||
    { echo "setup.sh failed"; exit 1; }
}

with_check=0
if [[ ${case_dir##*/} != check-* ]] && [ -f "$case_dir/args" ] && [ ! -f "$case_dir/script.sh" ] &&
   [ ! -f "$case_dir/no_check_run" ]; then
  with_check=1
  prepare quiet
  (exec -a regwright "$binary" "${args[@]}" -check) > "$work/.stdout" 2> /dev/null < /dev/null
  checked_status=$?
  # A case's FIFO input is no output, and diff cannot compare one.
  find . -type p -delete
  cd / && mv "$work" "$checked" || exit 1
fi

prepare
if [ -f "$case_dir/script.sh" ]; then
  bash "$case_dir/script.sh" > "$work/.stdout" 2> "$work/.stderr" < /dev/null
elif [ -f "$case_dir/max_rss_mib" ]; then
  # The peak resident memory of the binary (the only child waited for), in KiB.
  python3 -c 'import resource, subprocess, sys
code = subprocess.run(sys.argv[3:], executable=sys.argv[2]).returncode
open(sys.argv[1], "w").write("%d\n" % resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
sys.exit(code if code >= 0 else 128 - code)' "$work/.rss" "$binary" regwright "${args[@]}" \
    > "$work/.stdout" 2> "$work/.stderr" < /dev/null
else
  (exec -a regwright "$binary" "${args[@]}") > "$work/.stdout" 2> "$work/.stderr" < /dev/null
fi
status=$?

failed=0
if [ "$with_check" = 1 ]; then
  fifos=()
  while IFS= read -r -d '' fifo; do fifos+=(-x "${fifo##*/}"); done < <(find . -type p -print0)
  if [ "$checked_status" != "$status" ]; then
    echo "exit status $checked_status with -check, $status without"; failed=1
  fi
  if ! diff -r --no-dereference -x .stderr -x .rss "${fifos[@]}" "$work" "$checked" > "$temp/.diff" 2>&1; then
    echo "the outputs differ with -check:"; head -n 20 "$temp/.diff"; failed=1
  fi
fi
if [ -f "$case_dir/max_rss_mib" ]; then
  limit=$(tr -d '[:space:]' < "$case_dir/max_rss_mib")
  peak=$(( $(cat "$work/.rss" 2>/dev/null || echo 0) / 1024 ))
  echo "peak resident memory ${peak} MiB (limit ${limit} MiB)"
  [ "$peak" -lt "$limit" ] || { echo "peak memory over the limit"; failed=1; }
fi
expected_status=0
[ -f "$case_dir/status" ] && expected_status=$(tr -d '[:space:]' < "$case_dir/status")
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"; failed=1
fi

compare() { # label expected-file actual-file
  if ! cmp -s "$2" "$3"; then
    echo "$1 differs:"; diff -u "$2" "$3" | head -n 60; failed=1
  fi
}

sed -e "s|$work|@WORK@|g" -e "s|$data_dir|@DATA@|g" "$work/.stderr" > "$work/.stderr.norm"
if [ -f "$case_dir/stderr" ]; then compare stderr "$case_dir/stderr" "$work/.stderr.norm"
else compare stderr /dev/null "$work/.stderr.norm"; fi
if [ -f "$case_dir/stdout" ]; then compare stdout "$case_dir/stdout" "$work/.stdout"
else compare stdout /dev/null "$work/.stdout"; fi

if [ -d "$case_dir/expected" ]; then
  while IFS= read -r -d '' f; do
    rel=${f#"$case_dir/expected/"}
    if [ ! -f "$work/$rel" ]; then echo "missing output file $rel"; failed=1; continue; fi
    compare "$rel" "$f" "$work/$rel"
  done < <(find "$case_dir/expected" -type f -print0)
fi
if [ -f "$case_dir/body" ]; then
  guard_line=$(grep -n -m1 '^#define out_h$' "$work/out.h" | cut -d: -f1)
  tail -n +"$((${guard_line:-0} + 2))" "$work/out.h" | head -n -2 > "$work/.body"
  compare body "$case_dir/body" "$work/.body"
fi
if [ -f "$case_dir/absent" ]; then
  while IFS= read -r rel; do
    [ -n "$rel" ] && [ -e "$work/$rel" ] && { echo "file $rel should not exist"; failed=1; }
  done < "$case_dir/absent"
fi
if [ -f "$case_dir/check.sh" ] && ! bash "$case_dir/check.sh"; then
  echo "check.sh failed"; failed=1
fi
exit $failed
