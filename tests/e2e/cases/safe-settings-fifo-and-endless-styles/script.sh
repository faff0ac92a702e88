# A start-up that waits on a FIFO or reads the endless file never ends, and
# the case's time limit reports it.
inst/bin/regwright map.xml out.h
