# Two 100 MB attribute values; the second holds a reference, so it is expanded.
{
  printf '<Root name="BIG"><RegisterGroup name="G" start="0x40000000" note="'
  head -c 104857600 /dev/zero | tr '\0' x
  printf '"><Register name="R" start="+4" size="4" note="$(StudioDir)'
  head -c 104857600 /dev/zero | tr '\0' y
  printf '"/></RegisterGroup></Root>\n'
} > map.xml
