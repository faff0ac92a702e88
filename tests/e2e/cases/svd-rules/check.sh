# The SVD written from an SVD is valid, and it and the expanded map read
# back to the same header.
set -e
xmllint --noout --schema "$CASE_DIR/../../../data/svd/cmsis-svd-1.3.xsd" back.svd 2>/dev/null
for input in back.svd flat.xml; do
  mkdir "again-$input"
  (cd "again-$input" && "$REGWRIGHT" "../$input" out.h LARK9 -regbaseoffs)
  cmp "again-$input/out.h" out.h
done
