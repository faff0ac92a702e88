# Blanks, "$", "#" and ":" in names are escaped for Make and Ninja.
set -e
grep -q '^#define PORTA_ODR (\*(volatile unsigned short \*)0x4001080C)$' 'out$.h'
sed "s|$PWD|@WORK@|g" out.d | diff -u "$CASE_DIR/expected.d" -
