#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the layout a user relies on.
set -euo pipefail
build=$1 prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

failed=0
for f in bin/regwright share/man/man1/regwright.1.gz \
         lib/cmake/regwright/regwrightConfig.cmake \
         lib/cmake/regwright/regwrightConfigVersion.cmake \
         lib/cmake/regwright/regwrightAddHeader.cmake; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f"; failed=1; }
done
[ -x "$prefix/bin/regwright" ] || { echo "bin/regwright is not executable"; failed=1; }
# The installed page renders without complaints.
if ! bash "$(dirname "$0")/../../man/check_page.sh" "$prefix/share/man/man1/regwright.1.gz"; then failed=1; fi
exit $failed
