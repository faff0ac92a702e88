# Killed while it writes: the old header stays whole. After SIGTERM no
# temporary file is left; after SIGKILL one clearly named file may be.
set -u
for signal in TERM KILL; do
  for attempt in 1 2 3 4 5; do
    cp -p "$CASE_DIR/input/out.h" out.h
    "$REGWRIGHT" map.xml out.h 2> /dev/null &
    pid=$!
    until ls out.h.regwright-tmp-* > /dev/null 2>&1 || ! kill -0 $pid 2> /dev/null; do sleep 0.002; done
    kill -$signal $pid 2> /dev/null
    { wait $pid; } 2> /dev/null
    status=$?
    [ $status -gt 128 ] && break
  done
  [ $status -gt 128 ] || { echo "the run always ended before it could be killed"; exit 1; }
  cmp out.h "$CASE_DIR/input/out.h" || { echo "SIG$signal: the old header changed"; exit 1; }
  left=$(ls out.h.regwright-tmp-* 2> /dev/null | wc -l)
  [ "$signal" = KILL ] || [ "$left" = 0 ] || { echo "SIG$signal left a temporary file"; exit 1; }
  rm -f out.h.regwright-tmp-*
done
