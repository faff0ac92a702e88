# The README shows the first lines of this header under "## Example"; they
# must be the lines the tool writes today.
set -e
readme="$CASE_DIR/../../../../README.md"
[ -f "$readme" ] || { echo "README.md missing"; exit 1; }
# The C block under the "## Example" heading.
awk '/^## Example/ { section = 1; next }
     section && /^## / { exit }
     inside && /^```/ { exit }
     section && /^```c$/ { inside = 1; next }
     inside { print }' "$readme" > readme-lines.h
[ -s readme-lines.h ] || { echo "no header lines under ## Example in README.md"; exit 1; }
head -n "$(wc -l < readme-lines.h)" out/soc.h | cmp - readme-lines.h
