# args0 names args1 and so on: 100 files open at once, the most allowed; the
# last holds the real arguments.
for i in $(seq 0 98); do echo "-fixdefs @args$((i + 1))" > "args$i"; done
echo 'map.xml out.h' > args99
printf '<Root name="C"><RegisterGroup name="G" start="0x40000000"><Register name="R" start="+4" size="4"/></RegisterGroup></Root>\n' > map.xml
