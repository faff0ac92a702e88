#!/usr/bin/env bash
# Configures small projects against the installed package and checks the
# command lines regwright_add_header writes into build.ninja, and its errors.
# usage: add_header_args.sh PREFIX
set -euo pipefail
prefix=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# One project, one subdirectory per accepted call, so the compiler is looked
# up once.
mkdir -p "$work/ok"
{
  echo 'cmake_minimum_required(VERSION 3.20)'
  echo 'project(t LANGUAGES C)'
  echo 'find_package(regwright REQUIRED)'
} > "$work/ok/CMakeLists.txt"
case_dir() { # name call...
  local name=$1; shift
  mkdir -p "$work/ok/$name"
  echo '<Root/>' > "$work/ok/$name/map.xml"
  echo 'int main(void) { return 0; }' > "$work/ok/$name/main.c"
  { echo "add_executable(app_$name main.c)"; printf '%s\n' "$@"; } > "$work/ok/$name/CMakeLists.txt"
  echo "add_subdirectory($name)" >> "$work/ok/CMakeLists.txt"
}
case_dir macros \
  "regwright_add_header(app_macros MAP map.xml OUTPUT gen/regs.h MACROS \"A=1;B=x y\" C=3 OPTIONS -fixdefs)"
case_dir target_name 'regwright_add_header(app_target_name MAP map.xml OUTPUT regs.h TARGET_NAME BOARD1)'
case_dir plain \
  'regwright_add_header(app_plain MAP map.xml OUTPUT inc/regs.h OPTIONS -regbaseoffs -bitband 0x40000000)'
# An interface library hands the include folder to what links it.
case_dir interface 'add_library(regs INTERFACE)' 'regwright_add_header(regs MAP map.xml OUTPUT h/regs.h)' \
  'target_link_libraries(app_interface regs)'

cmake -S "$work/ok" -B "$work/ok/b" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/ok.log" 2>&1 \
  || { cat "$work/ok.log"; exit 1; }
ninja_file=$work/ok/b/build.ninja
expect() { grep -qF -- "$1" "$ninja_file" || { echo "build.ninja lacks: $1"; failed=1; }; }
src=$work/ok bin=$work/ok/b
expect "$src/macros/map.xml $bin/macros/gen/regs.h app_macros \"A=1;B=x y;C=3\" -fixdefs -depfile $bin/macros/gen/regs.h.d"
expect "$src/target_name/map.xml $bin/target_name/regs.h BOARD1 -depfile $bin/target_name/regs.h.d"
expect "$src/plain/map.xml $bin/plain/inc/regs.h -regbaseoffs -bitband 0x40000000 -depfile"
expect "-I$bin/plain/inc"
expect "-I$bin/interface/h"

# Calls that must stop the configuration with a clear message.
refused() { # name message call
  mkdir -p "$work/$1"
  printf '%s\n' 'cmake_minimum_required(VERSION 3.20)' 'project(t LANGUAGES NONE)' \
    'find_package(regwright REQUIRED)' 'add_custom_target(app)' "$3" > "$work/$1/CMakeLists.txt"
  if cmake -S "$work/$1" -B "$work/$1/b" -DCMAKE_PREFIX_PATH="$prefix" >"$work/$1.log" 2>&1; then
    echo "$1: configured, expected an error"; failed=1
  elif ! grep -qF -- "$2" "$work/$1.log"; then
    echo "$1: no message \"$2\" in:"; cat "$work/$1.log"; failed=1
  fi
}
refused no-map "MAP and OUTPUT are required" 'regwright_add_header(app OUTPUT regs.h)'
refused no-target "nothing is not a target" 'regwright_add_header(nothing MAP map.xml OUTPUT regs.h)'
refused stray "unexpected arguments: -fixdefs" 'regwright_add_header(app MAP map.xml OUTPUT regs.h -fixdefs)'

[ $failed -eq 0 ] && echo ok
exit $failed
