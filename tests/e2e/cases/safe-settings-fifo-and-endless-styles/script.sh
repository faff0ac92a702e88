timeout 10 inst/bin/regwright map.xml out.h
