printf '<Register name="CTRL" start="0x40000000" size="4"/>\n' > 'odd\'
