# The SVD file is valid, and the page shows the one reset value that is a
# number, as written.
set -e
bash "$CASE_DIR/../../well_formed.sh" out.svd
xmllint --noout --schema "$CASE_DIR/../../../data/svd/cmsis-svd-1.3.xsd" out.svd 2>/dev/null
# The page's packed data (base64url, gzip, JSON): field 6 of a register
# record is its reset value's number in the string table, 0 for none.
reset_values() {
  python3 -c '
import base64, gzip, json, re, sys
packed = re.search(r"id=\"rw-data\">([^<]*)<", open(sys.argv[1]).read()).group(1)
data = json.loads(gzip.decompress(base64.urlsafe_b64decode(packed + "=" * (-len(packed) % 4))))
print(" ".join(data["s"][r[6]] for r in data["r"] if r[6]))' "$1"
}
[ "$(reset_values out.html)" = "0x00000010" ]
