/* Prints where a few LARK1 registers live. On the host the registers are
 * not there, so their addresses are taken, never read or written. */
#include <stdint.h>
#include <stdio.h>

#include "soc.h"

int main(void) {
  printf("UART0 base 0x%lX\n", (unsigned long)UART0_BASE);
  printf("UART0_SR at 0x%lX, TXE mask 0x%X, bit %d\n", (unsigned long)(uintptr_t)&UART0_SR,
         (unsigned)UART0_SR_TXE_MASK, UART0_SR_TXE_BIT);
  printf("UART0_SR_TXE bit-band alias at 0x%lX\n", (unsigned long)UART0_SR_TXE_BITBAND_ADDRESS);
  printf("GPIOA_ODR at 0x%lX\n", (unsigned long)(uintptr_t)&GPIOA_ODR);
  return 0;
}
