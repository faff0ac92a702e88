/* Prints where a few LARK3 registers live, from the header that regwright
 * generates from the vendor's SVD file. On the host the registers are not
 * there, so their addresses are taken, never read or written. */
#include <stdint.h>
#include <stdio.h>

#include "lark3.h"

int main(void) {
  printf("USART0 base 0x%lX\n", (unsigned long)USART0_BASE);
  printf("USART0_SR at 0x%lX, TXE mask 0x%X, bit %d\n", (unsigned long)(uintptr_t)&USART0_SR,
         (unsigned)USART0_SR_TXE_MASK, USART0_SR_TXE_BIT);
  printf("DMA_CH2_CNDTR at 0x%lX\n", (unsigned long)(uintptr_t)&DMA_CH2_CNDTR);
  printf("GPIOB_ODR_ODR5 bit-band alias at 0x%lX\n", (unsigned long)GPIOB_ODR_ODR5_BITBAND_ADDRESS);
  printf("USART0 interrupt %d\n", USART0_IRQn);
  return 0;
}
