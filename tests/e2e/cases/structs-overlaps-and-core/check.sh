# The header's members lie where the flat header's registers do, and with a
# stand-in core header the core's interrupt functions take IRQn_Type.
set -e
python3 "$CASE_DIR/../../../header/check_structs.py" "$REGWRIGHT" map.xml held --expect-left-out 3 >/dev/null
cat > irq.c <<'C'
#include "structs.h"
void enable(void);
void enable(void) {
  NVIC_EnableIRQ(UART1_IRQn);
  (void)SysTick_Config(1000U);
  UART0->CR = (UART0->CR & ~(uint32_t)UART0_CR_MODE_Msk) | (uint32_t)UART0_CR_MODE_Fast;
}
C
cp irq.c irq.cc
strict="-Wall -Wextra -Werror -pedantic -Wconversion -Wsign-conversion -isystem $DATA_DIR/core-stand-in -I. -c"
gcc -std=c11 $strict irq.c -o irq.o
g++ -std=c++17 $strict irq.cc -o irq-cxx.o
