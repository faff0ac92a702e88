/* Uses the repaired names of a map whose names are not C identifiers. */
#include <stdio.h>

#include "quirks.h"

_Static_assert(PORTA_1ST_CTRL0_MODE_SEL_MASK == 0xE, "MODE-SEL mask");
_Static_assert(PORTA_1ST_CTRL0__2X == 0x10, "2X value");
_Static_assert(STATUS_ALIAS_RX_READY_BIT == 0, "alias of a bit number");
_Static_assert(sizeof(_3RD_REG) == 1, "byte register");
_Static_assert(PORTA_IRQn == 12, "vector");

/* Compiled and linked, never called: the registers exist only on the target. */
void port_enable(void) {
  PORTA_1ST_CTRL0 |= PORTA_1ST_CTRL0_EN;
  while ((STATUS_ALIAS & STATUS_ALIAS_RX_READY) == 0) {
  }
}

int main(void) {
  const unsigned long status = (unsigned long)&STATUS_ALIAS;
  const unsigned long legacy = (unsigned long)&_3RD_REG;
  if (status != 0x40020004UL || legacy != 0x40020100UL) {
    printf("STATUS_ALIAS at 0x%lX, _3RD_REG at 0x%lX\n", status, legacy);
    return 1;
  }
  return PORTA_1ST_CTRL0_OFFSET == 0 && STATUS_ALIAS_OFFSET == 4 ? 0 : 1;
}
