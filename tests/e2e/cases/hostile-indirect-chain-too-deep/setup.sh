# As a chain of 100, but the last file names one more: it is not opened, the
# error counts and the run ends before the map is read.
for i in $(seq 0 98); do echo "@args$((i + 1))" > "args$i"; done
echo 'map.xml out.h @args100' > args99
echo 'never read' > args100
