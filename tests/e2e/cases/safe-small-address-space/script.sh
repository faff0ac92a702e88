# Every output of a small map under a 200 MB limit on the address space, as
# a build host may set for its jobs: a run reserves about what its outputs
# take, not what the largest file it may write could take. The sanitizers
# reserve more address space than such a limit allows.
if grep -q __asan_init "$REGWRIGHT"; then exit 0; fi
(ulimit -v 200000; exec "$REGWRIGHT" map.xml out.h -svd out.svd -html out.html -structs structs.h -map out.xml) ||
  { echo "status $? under a 200000 KiB limit"; exit 1; }
for f in out.h out.svd out.html structs.h out.xml; do [ -s "$f" ] || { echo "$f missing"; exit 1; }; done
