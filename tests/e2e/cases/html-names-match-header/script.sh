# The page shows exactly the header's definitions: the names its script
# forms from its data are every name the header defines and no other, for
# the fixture device and a map with aliases, duplicates and nested groups,
# under option sets that change the names.
set -u
data=$CASE_DIR/../../../data
defined() { sed -n 's/^#define \([^ ]*\).*/\1/p' "$1" | grep -v '_h$' | sort -u; }
shown() { python3 "$CASE_DIR/data_names.py" "$1" | sort -u; }
failed=0
while IFS= read -r options; do
  for map in "$data/stm32f103/flat.xml" aliases.xml; do
    # shellcheck disable=SC2086
    "$REGWRIGHT" "$map" out.h T $options -html out.html 2>/dev/null || { echo "run failed: $options"; failed=1; continue; }
    if ! diff <(defined out.h) <(shown out.html) > diff.txt; then
      echo "names differ for $(basename "$map") with: $options"; head -n 20 diff.txt; failed=1
    fi
  done
done <<'OPTIONS'

-regbaseoffs -prependreggroup -defprefixstring P_ -regstring _R -regbasestring _B -regoffsetstring _O
-noprependreg -singlebitfieldnames -bitband 0x40000000 -fixdefs
-nobitfields -regbaseoffs
-excludebitfield (RES|TX).* -excludebitfield2 CR1 -excludebitfield2 CTRL -fixdefs -bitband 0x40000000
OPTIONS
exit $failed
