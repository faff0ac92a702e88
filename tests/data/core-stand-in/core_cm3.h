/* A stand-in for the Cortex-M3 core header, for tests only: it declares
   what a struct-style device header relies on, with the device's IRQn_Type
   and configuration macros defined before it is included. */
#ifndef CORE_CM3_STAND_IN_H
#define CORE_CM3_STAND_IN_H

#include <stdint.h>

#ifndef __NVIC_PRIO_BITS
#error "the device header defines __NVIC_PRIO_BITS before it includes the core header"
#endif

#define __IM volatile const
#define __OM volatile
#define __IOM volatile

static inline void NVIC_EnableIRQ(IRQn_Type IRQn) { (void)IRQn; }
static inline uint32_t SysTick_Config(uint32_t ticks) { return ticks == 0U ? 1U : 0U; }

#endif
