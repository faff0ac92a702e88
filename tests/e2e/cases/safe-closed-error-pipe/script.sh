# Standard error into a pipe that closes after one line: the run dies of
# SIGPIPE among its warnings, and the old header stays.
"$REGWRIGHT" map.xml out.h 2>&1 | head -1 > /dev/null
[ "${PIPESTATUS[0]}" = 141 ] || { echo "status ${PIPESTATUS[0]}, expected death by SIGPIPE"; exit 1; }
! ls out.h.regwright-tmp-* 2> /dev/null
