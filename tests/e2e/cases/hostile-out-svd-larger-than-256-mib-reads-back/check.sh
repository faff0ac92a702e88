# The SVD file -svd wrote is larger than 256 MiB, is XML, and regwright reads
# it back to the same header.
set -e
size=$(stat -c %s big.svd)
[ "$size" -gt $((256 << 20)) ] || { echo "big.svd has only $size bytes"; exit 1; }
bash "$CASE_DIR/../../well_formed.sh" big.svd
mkdir again
(cd again && "$REGWRIGHT" ../big.svd out.h)
cmp again/out.h out.h
