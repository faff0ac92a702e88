# A map whose SVD file passes 256 MiB from a map of one megabyte: a loop
# makes 280 registers, each with a description of a million bytes, nearly
# all of them blanks, which the writers and readers of descriptions pass in
# runs.
python3 - <<'PY'
description = "[" + " " * 999998 + "]"
with open("map.xml", "w") as f:
    f.write('<Root name="BIG"><RegisterGroup name="G" start="0x40000000" prepend_group_name="1">'
            '<for index="i" start="0" end="280" incr="1" mul="4">'
            '<Register name="R$(i)" start="+$(i_ap)" size="4" description="%s"/>'
            '</for></RegisterGroup></Root>\n' % description)
PY
