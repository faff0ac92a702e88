# The SVD file -svd wrote is larger than 256 MiB, and regwright reads it back
# to the same header.
set -e
size=$(stat -c %s big.svd)
[ "$size" -gt $((256 << 20)) ] || { echo "big.svd has only $size bytes"; exit 1; }
mkdir again
(cd again && "$REGWRIGHT" ../big.svd out.h)
cmp again/out.h out.h
