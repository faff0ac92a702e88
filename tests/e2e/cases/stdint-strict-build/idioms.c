/* The common register idioms against the -stdint header. Compiled only:
   its functions would touch the device's registers. */
#include <stdint.h>

#include "device.h"

#ifdef __cplusplus
#define STATIC_ASSERT(condition) static_assert(condition, #condition)
#else
#define STATIC_ASSERT(condition) _Static_assert(condition, #condition)
#endif

STATIC_ASSERT(RCC_BASE == 0x40021000U);
STATIC_ASSERT(RCC_CR_OFFSET == 0x0U);
STATIC_ASSERT(GPIOA_BASE + GPIOA_CRL_OFFSET == 0x40010800U);

void idioms(void);
void idioms(void) {
  RCC_CR |= RCC_CR_HSION;
  RCC_CR &= ~RCC_CR_HSEON_MASK;
  const uint32_t mode = (GPIOA_CRL & GPIOA_CRL_MODE0_MASK) >> GPIOA_CRL_MODE0_BIT;
  GPIOA_CRL = (GPIOA_CRL & ~GPIOA_CRL_MODE0_MASK) | (mode << GPIOA_CRL_MODE0_BIT);
  volatile uint32_t *alias = &RCC_CR_HSION_BITBAND;
  *alias = 1U;
}
