# An array of 65,536 clusters, each holding 20,000 empty clusters: 1.3
# billion clusters that make no element.
python3 - <<'PY'
with open("dev.svd", "w") as f:
    f.write('<device><name>D</name><peripherals><peripheral><name>P</name><baseAddress>0</baseAddress><registers>\n'
            '<cluster><dim>65536</dim><dimIncrement>0</dimIncrement><name>C%s</name><addressOffset>0</addressOffset>\n')
    f.writelines('<cluster><name>E%d</name><addressOffset>0</addressOffset></cluster>\n' % i for i in range(20000))
    f.write('</cluster></registers></peripheral></peripherals></device>\n')
PY
