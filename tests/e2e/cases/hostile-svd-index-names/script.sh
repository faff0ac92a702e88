# Within a minute, for a promise of ten seconds on a loaded machine, and in
# 2 GiB of address space (the sanitizers reserve more than that up front).
grep -q __asan_init "$REGWRIGHT" || ulimit -v 2097152
timeout 60 "$REGWRIGHT" dev.svd out.h
echo "status $?"
