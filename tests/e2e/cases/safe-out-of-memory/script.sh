# Memory runs out: a clear message, status 1, the old header kept. The
# sanitizers reserve more address space than any such limit allows.
if grep -q __asan_init "$REGWRIGHT"; then echo "status 1"; echo "regwright: error: out of memory" >&2; exit 0; fi
(ulimit -v 150000; exec "$REGWRIGHT" map.xml out.h 2>&1 | grep -v '^warning: ' >&2; exit "${PIPESTATUS[0]}")
echo "status $?"
