# The repaired header compiles as strict C and its names work; the same map
# without -fixdefs gives a header that does not compile.
set -e
cc -std=c11 -Wall -Wextra -Werror -pedantic "$CASE_DIR/client.c" -I. -o client
./client
"$REGWRIGHT" map.xml raw.h QUIRKS -regbaseoffs
printf '#include "raw.h"\n' > raw.c
if cc -std=c11 -Wall -Wextra -Werror -pedantic -c raw.c -o raw.o 2>/dev/null; then
  echo "the unrepaired header compiled"
  exit 1
fi
