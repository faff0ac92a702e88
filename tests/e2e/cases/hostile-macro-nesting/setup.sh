# "$(" 100,000 times unclosed, then closed around an unknown name, then as
# defaults nested 100,000 deep (which would need 100,000 passes).
python3 - <<'PY'
d = 100000
with open("map.xml", "w") as f:
    f.write('<Root name="M"><RegisterGroup name="G" start="0x40000000">')
    f.write('<Register name="R" start="+4" size="4" a="' + '$(' * d + '" b="' + '$(' * d + 'X' + ')' * d)
    f.write('" c="' + '$(U:' * d + 'x' + ')' * d + '"/></RegisterGroup></Root>\n')
PY
