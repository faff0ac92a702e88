/* Setting, clearing and reading fields of registers of every width against
   the -stdint header. GCC's -Wconversion promotes `~MASK` to int or unsigned
   int, whose high bits an 8- or 16-bit register cannot hold, whatever the
   mask's type, so for those widths GCC builds take the cast form;
   LITERAL_CLEAR builds the plain form, for compilers that see that `&`
   cannot set bits the register lacks. Compiled only. */
#include <stdint.h>

#include "widths.h"

#ifdef LITERAL_CLEAR
#define CLEAR8(reg, mask) (reg &= ~(mask))
#define CLEAR16(reg, mask) (reg &= ~(mask))
#else
#define CLEAR8(reg, mask) (reg &= (uint8_t)~(mask))
#define CLEAR16(reg, mask) (reg &= (uint16_t)~(mask))
#endif

void idioms(void);
void idioms(void) {
  P_B8 |= P_B8_EN;
  CLEAR8(P_B8, P_B8_MODE_MASK);
  P_B8 |= P_B8_MODE_MASK;
  const uint8_t mode8 = (uint8_t)((P_B8 & P_B8_MODE_MASK) >> P_B8_MODE_BIT);
  P_B8 = (uint8_t)((P_B8 & ~P_B8_MODE_MASK) | ((unsigned)mode8 << P_B8_MODE_BIT));

  P_H16 |= P_H16_EN;
  CLEAR16(P_H16, P_H16_MODE_MASK);
  P_H16 |= P_H16_MODE_MASK;
  if ((P_H16 & P_H16_EN_MASK) != 0U) P_H16 = (uint16_t)(P_H16 & ~P_H16_EN_MASK);

  P_W32 |= P_W32_EN;
  P_W32 &= ~P_W32_MODE_MASK;
  const uint32_t mode32 = (P_W32 & P_W32_MODE_MASK) >> P_W32_MODE_BIT;
  P_W32 = (P_W32 & ~P_W32_MODE_MASK) | (mode32 << P_W32_MODE_BIT);

  /* Registers of other sizes are a plain unsigned (-check reports them). */
  P_D64 |= P_D64_EN;
  P_D64 &= ~P_D64_MODE_MASK;
}
