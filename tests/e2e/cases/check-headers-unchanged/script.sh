# Every other case that runs the binary on its arguments leaves the same
# files and standard output with -check added: the checks only read the map.
# Cases that start the binary their own way (script.sh) are left out. The
# hostile cases take longest: a second case runs them, so that each stays
# well inside the time a case may take.
set -u
shopt -s extglob
pattern=$(cat "$CASE_DIR/cases" 2>/dev/null || echo '!(hostile-*)')
cases=$(cd "$CASE_DIR/.." && pwd)
data=$(cd "$cases/../../data" && pwd)
work=$(pwd)
failed=0

# Runs one case as run_case.sh does, in $work/run, with $extra after its
# arguments; what it leaves goes to $work/$into.
run() { # case-folder into extra...
  local case=$1 into=$2
  shift 2
  rm -rf "$work/run" && mkdir -p "$work/run/home"
  [ -d "$case/input" ] && cp -a "$case/input/." "$work/run/"
  local args=() line
  while IFS= read -r line || [ -n "$line" ]; do
    line=${line//@DATA@/$data}
    line=${line//@CASE@/$case}
    args+=("$line")
  done < "$case/args"
  (
    cd "$work/run" || exit 1
    export HOME="$work/run/home" CASE_DIR="$case"
    [ -f "$case/setup.sh" ] && { bash "$case/setup.sh" >/dev/null 2>&1 || exit 1; }
    (exec -a regwright "$REGWRIGHT" "${args[@]}" "$@") > "$work/run/.stdout" 2>/dev/null < /dev/null
    echo $? > "$work/run/.status"
    # A case's FIFO input is no output, and diff cannot compare one.
    find . -type p -delete
  )
  rm -rf "${work:?}/$into" && mv "$work/run" "$work/$into"
}

for case in "$cases"/$pattern/; do
  case=${case%/}
  name=${case##*/}
  [[ $name == check-* ]] && continue
  [ -f "$case/args" ] && [ ! -f "$case/script.sh" ] || continue
  run "$case" plain
  run "$case" checked -check
  if ! diff -r --no-dereference "$work/plain" "$work/checked" > "$work/.diff" 2>&1; then
    echo "$name: the outputs differ with -check"
    head -n 20 "$work/.diff"
    failed=1
  fi
done
exit $failed
