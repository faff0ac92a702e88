# A small header, a large expanded map: long descriptions.
python3 - <<'PY'
with open("map.xml", "w") as f:
    f.write('<Root name="B"><RegisterGroup name="G" start="0x40000000">')
    for i in range(2000):
        f.write('<Register name="R%d" start="+%d" size="4" description="%s"/>' % (i, 4 * i, "long text " * 50))
    f.write('</RegisterGroup></Root>')
PY
