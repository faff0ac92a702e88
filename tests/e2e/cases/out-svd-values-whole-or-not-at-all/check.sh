# The SVD file is valid, and the page shows the one reset value that is a
# number, as written.
set -e
bash "$CASE_DIR/../../well_formed.sh" out.svd
xmllint --noout --schema "$CASE_DIR/../../../data/svd/cmsis-svd-1.3.xsd" out.svd 2>/dev/null
[ "$(grep -o 'Reset value<dd>[^<]*' out.html)" = "Reset value<dd>0x00000010" ]
