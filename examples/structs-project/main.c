/* Brings up the LARK1's UART0 the way most Cortex-M firmware is written:
 * peripherals through typed pointers, fields through _Pos and _Msk, the
 * interrupt by its IRQn_Type. On the host the peripherals are not there, so
 * main() prints where uart0_start() would write instead of calling it. */
#include <stdint.h>
#include <stdio.h>

#include "lark1.h"

void uart0_start(uint16_t mantissa, uint16_t fraction);
void uart0_start(uint16_t mantissa, uint16_t fraction) {
  RCC->APB1ENR |= RCC_APB1ENR_UART0EN_Msk;
  RCC->APB2ENR |= RCC_APB2ENR_IOPAEN_Msk;
  GPIOA->MODE = (GPIOA->MODE & ~(uint32_t)GPIO_MODE_MODE9_Msk) | (uint32_t)(2U << GPIO_MODE_MODE9_Pos);
  UART0->BRR = (uint16_t)((unsigned)mantissa << UART_BRR_MANTISSA_Pos | (unsigned)fraction << UART_BRR_FRACTION_Pos);
  UART0->CR |= UART_CR_TE_Msk | UART_CR_RE_Msk | UART_CR_RXNEIE_Msk | UART_CR_UE_Msk;
  TIM2->CCR1 = 500U;
#ifndef REGWRIGHT_NO_CORE_HEADER
  NVIC_EnableIRQ(UART0_IRQn);
#endif
}

int main(void) {
  printf("UART0->CR at 0x%lX, UE mask 0x%lX, interrupt %d\n", (unsigned long)(uintptr_t)&UART0->CR,
         (unsigned long)UART_CR_UE_Msk, (int)UART0_IRQn);
  printf("TIM2->CCR1 at 0x%lX\n", (unsigned long)(uintptr_t)&TIM2->CCR1);
  return 0;
}
