# A plain map has its header written while it is read; whatever makes it
# need more than reading (a directive, a macro reference, a start only the
# evaluator reads, a second top-level element) throws that work away, at
# whatever point of the read it appears. Every variant of one map must give
# the header, the warnings and the findings that the map gives when its
# first element is already a directive. The map is large enough that the
# writer is well under way when a late variant stops it.
set -eu
registers=12000
{
  echo '<Root name="SOC">'
  echo '  <RegisterGroup name="P" start="0x40000000" prepend_group_name="1">'
  for ((r = 0; r < registers; r++)); do
    name=CR$r
    # Duplicates and a misaligned register: warnings and a finding.
    if ((r % 1000 == 7)); then name=CR$((r - 1)); fi
    start=$((r * 4)); if ((r == 5000)); then start=$((r * 4 + 2)); fi
    printf '    <Register name="%s" start="+0x%X" size="4"><BitField name="EN" start="0" size="1"/><BitField name="MODE" start="1" size="2"/></Register>\n' "$name" "$start"
  done
  echo '  </RegisterGroup>'
  echo '</Root>'
} > plain.xml
# Each variant changes one line in place, so that every line number stays,
# and gives the plain map's header only when it is preprocessed or placed
# after the load: kept as read, it would lose a register or an address.
variant() { sed "$1" plain.xml > "$2.xml"; }
variant '2s|^|<define name="UNUSED" value="1"/>|' first
variant '9000s|^\( *\)\(.*\)$|\1<for index="i" start="0" end="1" incr="1">\2</for>|' directive
variant "$((registers + 2))s|name=\"CR1|name=\"CR\$(UNUSED)|" reference
variant "$((registers + 2))s|start=\"+0x\([0-9A-F]*\)\"|start=\"+(0x\1)\"|" expression
variant "$((registers + 4))s|\$|<Other/>|" second
cp plain.xml plain-copy.xml

for options in "" "-check -regbaseoffs"; do
  for map in first plain-copy directive reference expression second; do
    # shellcheck disable=SC2086
    "$REGWRIGHT" "$map.xml" "$map.h" SOC UNUSED=1 $options 2> "$map.err" || { echo "$map $options failed"; cat "$map.err"; exit 1; }
    tail -n +14 "$map.h" > "$map.body"
    if [ "$map" = second ]; then continue; fi
    cmp first.body "$map.body" || { echo "$map $options: another header"; exit 1; }
    sed "s/$map.xml:/first.xml:/g" "$map.err" | cmp first.err - || { echo "$map $options: other messages"; exit 1; }
  done
done
# The second top-level element is the root: its header has no definitions.
! grep -q '^#define P_' second.h
grep -q 'ignoring multiply defined symbol P_CR6$' first.err
! ls | grep -q regwright-tmp
