# A million register groups, each nested in the one before and 4 bytes on,
# with one register at the bottom: its address proves the walks went down.
python3 - <<'PY'
n = 1000000
with open("map.xml", "w") as f:
    f.write('<Root name="DEEP">' + '<RegisterGroup name="G" start="+4">' * n)
    f.write('<Register name="BOTTOM" start="+0" size="4"/>' + '</RegisterGroup>' * n + '</Root>\n')
PY
