/* A firmware-style client of the generated header. Masks, bit numbers, sizes
   and vector numbers are checked while compiling; addresses (not constant
   expressions in strict C once they are pointers) when the program runs,
   without touching the registers themselves. */
#include <stdint.h>
#include <stddef.h>
#include <stdio.h>

#include "soc.h"

#define ADDRESS(reg) ((unsigned long)&(reg))

_Static_assert(sizeof(UART0_DR) == 1, "UART0_DR is a byte register");
_Static_assert(sizeof(TIM2_CNT) == 2, "TIM2_CNT is a halfword register");

_Static_assert(GPIOA_BASE == 0x40010800UL, "GPIOA base");
_Static_assert(TIM2_CCR1_OFFSET == 0x34, "first capture/compare register");

_Static_assert(RCC_CFGR_PLLMUL_MASK == 0x3C0000UL, "PLLMUL mask");
_Static_assert(RCC_CFGR_PLLMUL_BIT == 18, "PLLMUL bit");
_Static_assert(GPIOB_MODE_MODE15_MASK == 0xC0000000UL, "last pin mode mask");
_Static_assert(UART0_BRR_MANTISSA_MASK == 0xFFF0, "mantissa mask");
_Static_assert(UART0_CR_UE == (1UL << 13), "single-bit value");
_Static_assert(UART1_IRQn == 38, "vector number");

static void uart_send(uint8_t byte) {
  while ((UART0_SR & UART0_SR_TXE) == 0) {
  }
  UART0_DR = byte;
}

/* Compiled and linked, never called: the registers exist only on the target. */
void board_init(void) {
  RCC_APB1ENR |= RCC_APB1ENR_UART0EN | RCC_APB1ENR_TIM2EN;
  UART0_BRR = (uint16_t)((39 << 4) | 1);
  UART0_CR = UART0_CR_UE | UART0_CR_TE | UART0_CR_RE;
  TIM2_PSC = 71;
  TIM2_ARR = 999;
  TIM2_CR1 |= TIM2_CR1_CEN;
  UART0_SR_TXE_BITBAND = 0;
  uart_send('!');
}

int main(void) {
  const struct {
    const char* what;
    unsigned long actual;
    unsigned long expected;
  } cases[] = {
      {"RCC_CR", ADDRESS(RCC_CR), 0x40021000UL},
      {"RCC_APB1ENR", ADDRESS(RCC_APB1ENR), 0x4002101CUL},
      {"GPIOC_BSRR", ADDRESS(GPIOC_BSRR), 0x40011010UL},
      {"UART1_BRR", ADDRESS(UART1_BRR), 0x40004808UL},
      {"TIM3_CCR4", ADDRESS(TIM3_CCR4), 0x40000440UL},
      {"UART0_CR from base and offset", ADDRESS(UART0_CR), UART0_BASE + UART0_CR_OFFSET},
      {"UART0_SR_TXE_BITBAND", ADDRESS(UART0_SR_TXE_BITBAND), 0x42000000UL + 4 * (8 * 0x4400 + 7)},
  };
  int failures = 0;
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    if (cases[i].actual != cases[i].expected) {
      printf("%s at 0x%lX, expected 0x%lX\n", cases[i].what, cases[i].actual, cases[i].expected);
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
