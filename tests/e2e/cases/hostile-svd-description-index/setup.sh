# A description of 20,000 "%s" over an array of 65,536 registers: 6.5 GB of
# descriptions from 40 KB.
python3 - <<'PY'
with open("dev.svd", "w") as f:
    f.write('<device><name>D</name><peripherals><peripheral><name>P</name><baseAddress>0</baseAddress><registers>\n'
            '<register><dim>65536</dim><dimIncrement>4</dimIncrement><name>R%%s</name>\n<description>%s</description>'
            '<addressOffset>0</addressOffset></register>\n' % ('%s' * 20000))
    f.write('</registers></peripheral></peripherals></device>\n')
PY
