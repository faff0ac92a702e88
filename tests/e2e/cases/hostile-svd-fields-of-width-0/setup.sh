# A field with 20,000 enumerated values, and 2,000 registers each with a
# field of width 0 derived from it: the registers, but no values copied.
python3 - <<'PY'
with open("dev.svd", "w") as f:
    f.write('<device><name>D</name><peripherals><peripheral><name>P</name><baseAddress>0</baseAddress><registers>\n'
            '<register><name>R</name><addressOffset>0</addressOffset><fields><field><name>F</name>'
            '<bitOffset>0</bitOffset><bitWidth>16</bitWidth>\n<enumeratedValues>\n')
    f.writelines('<enumeratedValue><name>V%d</name><value>%d</value></enumeratedValue>\n' % (i, i) for i in range(20000))
    f.write('</enumeratedValues></field></fields></register>\n')
    f.writelines('<register><name>D%d</name><addressOffset>4</addressOffset><fields><field derivedFrom="P.R.F">'
                 '<name>G</name><bitWidth>0</bitWidth></field></fields></register>\n' % i for i in range(2000))
    f.write('</registers></peripheral></peripherals></device>\n')
PY
