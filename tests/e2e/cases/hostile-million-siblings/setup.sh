# One group of a million registers, 4 bytes apart.
python3 - <<'PY'
with open("map.xml", "w") as f:
    f.write('<Root name="WIDE"><RegisterGroup name="G" start="0x40000000">\n')
    f.writelines('<Register name="R%d" start="+%d" size="4"/>\n' % (i, 4 * i) for i in range(1000000))
    f.write('</RegisterGroup></Root>\n')
PY
