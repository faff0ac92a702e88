# The rule names each file read once, in the order read, with the paths the
# loader used: included files absolute, the import next to the main file.
set -e
grep -q '^#define UART1_SR_TXE_MASK 0x80$' out.h
grep -q '^#define TIM2_CNT ' out.h
sed "s|$PWD|@WORK@|g" out.d | diff -u "$CASE_DIR/expected.d" -
