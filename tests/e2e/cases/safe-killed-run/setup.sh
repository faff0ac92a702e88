python3 - <<'PY'
with open("map.xml", "w") as f:
    f.write('<Root name="B"><RegisterGroup name="G" start="0x40000000">')
    for i in range(200000):
        f.write('<Register name="R%d" start="+%d" size="4"><BitField name="A" start="0" size="1"/></Register>' % (i, 4 * i))
    f.write('</RegisterGroup></Root>')
PY
