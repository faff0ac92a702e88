# Enough registers that a header written while the map is read would have
# gone out in parts before the end tag that fails the load.
{
  echo '<Root name="SOC">'
  for ((r = 0; r < 4000; r++)); do
    printf '<Register name="R%d" start="0x%X" size="4"><BitField name="EN" start="0" size="1"/></Register>\n' $r $((0x40000000 + r * 4))
  done
  echo '</Wrong>'
} > map.xml
