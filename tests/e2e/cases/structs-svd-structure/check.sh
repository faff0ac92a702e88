# An SVD file with every construct that shapes a struct header: the header's
# members lie where the flat header's registers do; the SVD file and the
# expanded map written from it are valid and read back to the same flat and
# struct headers and the same SVD file; firmware written against it compiles
# strictly with the stand-in core header.
set -e
xmllint --noout --schema "$DATA_DIR/svd/cmsis-svd-1.3.xsd" back.svd 2>/dev/null
xmllint --noout flat.xml
for input in back.svd flat.xml; do
  mkdir "again-$input"
  (cd "again-$input" && "$REGWRIGHT" "../$input" out.h WREN7 -structs structs.h -svd back.svd)
  cmp "again-$input/out.h" out.h
  cmp "again-$input/structs.h" structs.h
  cmp "again-$input/back.svd" back.svd
done
python3 "$CASE_DIR/../../../header/check_structs.py" "$REGWRIGHT" "$DATA_DIR/svd/structure.svd" held \
  --core-headers "$DATA_DIR/core-stand-in" >/dev/null
cat > use.c <<'C'
#include "structs.h"
void use(void);
void use(void) {
  GPIOD->MODER = (GPIOD->MODER & ~(uint32_t)GPIO_MODER_MODE3_Msk) | (uint32_t)GPIO_MODER_MODE3_Output;
  GPIOB->AFR[1] = GPIOA->IDR;
  TIM3->CR1 = (uint16_t)(TIM_CR1_CEN_Msk | TIM_CR1_DIR_Down);
  TIM3->CCR2 = TIM2->CCMR1_Input;
  TIM6->ARR = TIM6->CNT;
  DMA1->CH[2].BUF.MAR = DMA1->PER.CFG + DMA1->MEM.SRC;
  DMA1->CH[0].CCR |= DMA1_CH_CCR_PL_High;
  LIN1->BRK = UART1->SR;
  NVIC_EnableIRQ(TIM3_IRQn);
}
C
cp use.c use.cc
strict="-Wall -Wextra -Werror -pedantic -Wconversion -Wsign-conversion -isystem $DATA_DIR/core-stand-in -I. -c"
gcc -std=c11 $strict use.c -o use.o
g++ -std=c++17 $strict use.cc -o use-cxx.o
