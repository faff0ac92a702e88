#!/usr/bin/env bash
# Builds the .deb with CPack and checks that it holds the binary, the manual
# page and the CMake package, and that its dependencies were computed.
# usage: deb_package.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
trap 'echo "deb_package.sh: line $LINENO failed: $BASH_COMMAND"' ERR

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
shopt -s nullglob
debs=("$out"/regwright_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one regwright_*.deb in: $(ls "$out")"; exit 1; }
deb=${debs[0]}

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
failed=0
for f in ./usr/bin/regwright ./usr/share/man/man1/regwright.1.gz \
         ./usr/lib/cmake/regwright/regwrightConfig.cmake \
         ./usr/lib/cmake/regwright/regwrightConfigVersion.cmake \
         ./usr/lib/cmake/regwright/regwrightAddHeader.cmake; do
  grep -qxF "$f" <<<"$contents" || { echo "missing from the package: $f"; failed=1; }
done
[ "$(dpkg-deb -f "$deb" Package)" = regwright ] || { echo "wrong package name"; failed=1; }
# Every library the binary needs must come from a package the .deb depends on.
depends=$(dpkg-deb -f "$deb" Depends)
dpkg-deb -x "$deb" "$out/root"
# A statically linked binary (REGWRIGHT_STATIC) needs no library at all.
if objdump -p "$out/root/usr/bin/regwright" | grep -q NEEDED; then
  grep -q '\blibc6\b' <<<"$depends" || { echo "Depends lacks libc6: $depends"; failed=1; }
fi
while read -r soname; do
  # awk reads to the end: a reader that stops early would kill the writer
  # with SIGPIPE, which pipefail reports as a failure.
  path=$(ldconfig -p | awk -v s="$soname" '$1 == s && /x86-64/ && !found {print $NF; found = 1}')
  [ -n "$path" ] || { echo "cannot find $soname"; failed=1; continue; }
  # dpkg knows a library by the path it installed, with or without /usr.
  owner=$( (dpkg -S "$path" 2>/dev/null || dpkg -S "$(readlink -f "$path")" 2>/dev/null || true) |
           awk -F: 'NR == 1 {print $1}')
  [ -n "$owner" ] || { echo "no package owns $path"; failed=1; continue; }
  grep -qwF -- "$owner" <<<"$depends" || { echo "$soname comes from $owner, which Depends lacks: $depends"; failed=1; }
done < <(objdump -p "$out/root/usr/bin/regwright" | awk '$1 == "NEEDED" {print $2}')
[ $failed -eq 0 ] && echo "ok: $(basename "$deb")"
exit $failed
