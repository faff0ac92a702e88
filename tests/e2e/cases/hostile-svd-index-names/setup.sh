# 60 KB that ask for a 400 MB header: a register name of 10,000 "%s", and
# four index names of 10 KB each.
python3 - <<'PY'
items = ','.join(letter * 10000 for letter in 'ABCD')
with open("dev.svd", "w") as f:
    f.write('<device><name>D</name><peripherals><peripheral><name>P</name><baseAddress>0</baseAddress><registers>\n'
            '<register><dim>4</dim><dimIncrement>4</dimIncrement>\n<dimIndex>%s</dimIndex>\n<name>%s</name>'
            '<addressOffset>0</addressOffset></register>\n' % (items, '%s' * 10000))
    f.write('</registers></peripheral></peripherals></device>\n')
PY
