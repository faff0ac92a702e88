# The example's includes, loops and switches expanded into one file that
# gives the same header.
set -e
mkdir again && cd again
"$REGWRIGHT" ../soc-flat.xml soc.h LARK2 -regbaseoffs -bitband 0x40000000
cmp soc.h ../soc.h
