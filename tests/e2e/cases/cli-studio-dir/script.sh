# $(StudioDir) is the canonical parent of the directory holding the executable,
# found through a symbolic link to it.
set -u
mkdir -p inst/bin
ln -s "$REGWRIGHT" inst/bin/regwright-link
studio=$(cd "$(dirname "$(readlink -f "$REGWRIGHT")")/.." && pwd -P)
inst/bin/regwright-link '$(StudioDir)/no-such-map.xml' out.h 2> studio.err
status=$?
expected="load error couldn't read $studio/no-such-map.xml at 0"
if [ "$status" != 1 ] || [ "$(cat studio.err)" != "$expected" ]; then
  echo "status $status, stderr: $(cat studio.err)"; echo "expected: $expected"; exit 1
fi
