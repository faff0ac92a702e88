#!/usr/bin/env bash
# Builds an example against an installed regwright and checks that the build
# follows the map like a compiler follows headers:
#   - a clean tree builds and the program runs;
#   - building again does nothing;
#   - touching a map file that soc.xml includes (for cmake-svd, the SVD file)
#     regenerates the header and rebuilds the program, and a change in it
#     reaches the header;
#   - after that, building again does nothing.
# usage: example_rebuild.sh cmake-ninja|cmake-make|make|cmake-svd|cmake-structs PREFIX EXAMPLES_DIR
set -euo pipefail
mode=$1 prefix=$2 examples=$3
unset MAKEFLAGS MFLAGS MAKELEVEL
export CMAKE_BUILD_PARALLEL_LEVEL=2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Sources only, so build products of an in-tree make never leak into the test.
mkdir -p "$work/examples"
cp -a "$examples/soc.xml" "$examples/periph" "$work/examples/"
# The file touched and changed, what the program prints, the change made and
# the definition it brings.
included=$work/examples/periph/uart.xml
printed='^UART0_SR at 0x40004400, TXE mask 0x80, bit 7$'
change='s|</RegisterGroup>|  <Register name="GTPR" start="+0x18" size="2"/>\n  </RegisterGroup>|'
changed='^#define UART0_GTPR (\*(volatile unsigned short \*)0x40004418)$'
case $mode in
  cmake-ninja|cmake-make)
    project=$work/examples/cmake-project build=$work/build
    mkdir -p "$project"
    cp "$examples/cmake-project/CMakeLists.txt" "$examples/cmake-project/main.c" "$project/"
    generator=Ninja
    [ "$mode" = cmake-make ] && generator="Unix Makefiles"
    cmake -S "$project" -B "$build" -G "$generator" -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" 2>&1 \
      || { cat "$work/configure.log"; exit 1; }
    build_cmd=(cmake --build "$build")
    header=$build/include/soc.h program=$build/blinky
    ;;
  make)
    project=$work/examples/make-project
    mkdir -p "$project"
    cp "$examples/make-project/Makefile" "$examples/make-project/main.c" "$project/"
    build_cmd=(make -C "$project" REGWRIGHT="$prefix/bin/regwright")
    header=$project/include/soc.h program=$project/blinky
    ;;
  cmake-svd)
    project=$work/examples/svd-project build=$work/build
    mkdir -p "$project"
    cp "$examples/svd-project/CMakeLists.txt" "$examples/svd-project/main.c" "$examples/svd-project/lark3.svd" \
      "$project/"
    cmake -S "$project" -B "$build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" 2>&1 \
      || { cat "$work/configure.log"; exit 1; }
    build_cmd=(cmake --build "$build")
    header=$build/include/lark3.h program=$build/blinky
    included=$project/lark3.svd
    printed='^USART0_SR at 0x40004400, TXE mask 0x80, bit 7$'
    change='s|<name>BRR</name>|<name>GTPR</name>|'
    changed='^#define USART0_GTPR (\*(volatile unsigned short \*)0x40004408)$'
    ;;
  cmake-structs)
    project=$work/examples/structs-project build=$work/build
    mkdir -p "$project"
    cp "$examples/structs-project/CMakeLists.txt" "$examples/structs-project/main.c" "$project/"
    cmake -S "$project" -B "$build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" 2>&1 \
      || { cat "$work/configure.log"; exit 1; }
    build_cmd=(cmake --build "$build")
    header=$build/include/soc.h program=$build/uart_setup changed_in=$build/include/lark1.h
    printed='^UART0->CR at 0x4000440C, UE mask 0x2000, interrupt 37$'
    changed='^  __IOM uint16_t GTPR;$'
    ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac

fail() { echo "FAIL ($mode): $*"; [ -f "$work/build.log" ] && sed 's/^/  | /' "$work/build.log"; exit 1; }
build() { "${build_cmd[@]}" >"$work/build.log" 2>&1 || fail "build failed"; }
mtime() { stat -c %.9Y "$1"; }

expect_no_work() {
  local header_before program_before
  header_before=$(mtime "$header") program_before=$(mtime "$program")
  build
  [ "$(mtime "$header")" = "$header_before" ] || fail "$1: header regenerated"
  [ "$(mtime "$program")" = "$program_before" ] || fail "$1: program rebuilt"
  case $mode in
    cmake-ninja|cmake-svd|cmake-structs) grep -q '^ninja: no work to do\.$' "$work/build.log" || fail "$1: ninja did some work" ;;
    cmake-make) ! grep -Eq 'Generating|Building C|Linking' "$work/build.log" || fail "$1: make did some work" ;;
    make) "${build_cmd[@]}" -q blinky || fail "$1: make -q says blinky is out of date" ;;
  esac
}

# A clean tree builds, and the program sees the generated definitions.
build
[ -f "$header" ] || fail "no header at $header"
[ -f "$header.d" ] || fail "no dependency file at $header.d"
grep -qF "$(basename "$included")" "$header.d" \
  || fail "the dependency file does not name $(basename "$included"): $(cat "$header.d")"
output=$("$program") || fail "the program failed"
grep -q "$printed" <<<"$output" || fail "unexpected program output: $output"

expect_no_work "second build"

# Coarse file-system timestamps: make sure the touch lands in a later tick.
sleep 1
touch "$included"
header_before=$(mtime "$header") program_before=$(mtime "$program")
build
[ "$(mtime "$header")" != "$header_before" ] || fail "touching the included map did not regenerate the header"
[ "$(mtime "$program")" != "$program_before" ] || fail "touching the included map did not rebuild the program"

expect_no_work "build after the touch"

# A real change in the included file reaches the header.
sleep 1
sed -i "$change" "$included"
build
grep -q "$changed" "${changed_in:-$header}" || fail "the new register is missing from the header"

expect_no_work "build after the change"
echo "ok ($mode)"
