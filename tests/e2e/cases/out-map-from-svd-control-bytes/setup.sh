# An SVD file that pugixml reads although XML forbids it: a control
# character as a reference and as a byte, and Latin-1 bytes, in <access> and
# in a description.
printf '%b' '<?xml version="1.0" encoding="utf-8"?>
<device>
  <name>DEV</name>
  <peripherals>
    <peripheral>
      <name>UART0</name>
      <baseAddress>0x40010800</baseAddress>
      <registers>
        <register>
          <name>CTRL</name>
          <description>Caf\xe9 &#1;control\x02</description>
          <addressOffset>0x0</addressOffset>
          <access>&#1;read-write\x02\xe9</access>
        </register>
      </registers>
    </peripheral>
  </peripherals>
</device>
' > dev.svd
