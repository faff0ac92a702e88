# A map with what its reader accepts and XML does not: a control character
# as a reference and as a byte in a value and in a CDATA section, Latin-1
# bytes, tag names that begin with a digit or are empty, an attribute name
# that begins with "-".
printf '%b' '<Root name="DEV">
  <RegisterGroup name="UART0" start="0x40010800" prepend_group_name="1" description="Caf\xe9 \x01 control">
    <Register name="CTRL&#1;" start="+0x0" size="4" aka="UART0_C\x02" description="na\xefve">
      <BitField name="EN" start="0" size="1" -a="1"/>
    </Register>
    <1abc><Register name="IN_1ABC" start="+0x4" size="4"/></1abc>
    <><Register name="IN_EMPTY" start="+0x8" size="4"/></>
    <Register name="DATA" start="+0xC" size="4"/>
    <![CDATA[\x01\xe9 note]]>
    <Register name="LATE" start="+0x10" size="4"/>
  </RegisterGroup>
  <Vector name="UART0_IRQn" start="37" -b="\x1f"/>
</Root>
' > map.xml
