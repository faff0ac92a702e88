# The directive-written form must give exactly the flat form's header, and
# that header must compile as strict C.
set -e
cmp device.h "$CASE_DIR/../fixture-flat/expected/device.h"
printf '#include "device.h"\nint main(void) { return GPIOA_CRL_MODE0_MASK == 0x3 ? 0 : 1; }\n' > client.c
cc -std=c11 -Wall -Wextra -Werror -pedantic -c client.c -o client.o
