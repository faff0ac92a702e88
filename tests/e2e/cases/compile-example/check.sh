# The header of the example map, LARK2 variant, compiled as strict C by the
# system's C compiler with a client that checks addresses and masks.
set -e
cmp out/soc.h "$CASE_DIR/../example-lark2/expected/out/soc.h"
cc -std=c11 -Wall -Wextra -Werror -pedantic -Iout "$CASE_DIR/client.c" -o client
./client
