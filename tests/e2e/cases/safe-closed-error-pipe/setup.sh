python3 - <<'PY'
with open("map.xml", "w") as f:
    f.write('<Root name="D">' + '<Register name="SAME" start="0" size="4"/>' * 200000 + '</Root>')
PY
