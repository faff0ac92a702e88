# The -stdint header in a strict build, as C11 and as C++17: the idioms
# compile without a diagnostic, and every register's address in the compiled
# program is the one the map gives (the plain header's, taken as the oracle).
set -eu
"$REGWRIGHT" "$DATA_DIR/stm32f103/flat.xml" plain.h STM32F103
{
  printf '#include <stdint.h>\n#include <stdio.h>\n#include "device.h"\n'
  printf 'struct expected { const char *name; uintptr_t actual; uintptr_t address; };\n'
  printf 'static const struct expected registers[] = {\n'
  sed -n 's/^#define \([A-Za-z0-9_]*\) (\*(volatile unsigned long \*)\(0x[0-9A-F]*\))$/  {"\1", (uintptr_t)\&\1, \2U},/p' plain.h
  printf '};\n'
  printf 'int main(void) {\n  int wrong = 0;\n'
  printf '  for (size_t i = 0; i < sizeof registers / sizeof registers[0]; ++i) {\n'
  printf '    if (registers[i].actual != registers[i].address) { printf("%%s\\n", registers[i].name); ++wrong; }\n  }\n'
  printf '  return wrong != 0 || sizeof registers / sizeof registers[0] < 900;\n}\n'
} > addresses.c
cc -std=c11 -Wall -Wextra -Werror -pedantic -Wconversion -Wsign-conversion -I. \
  "$CASE_DIR/idioms.c" addresses.c -o strict-c
./strict-c
cp "$CASE_DIR/idioms.c" idioms.cc
cp addresses.c addresses.cc
c++ -std=c++17 -Wall -Wextra -Werror -pedantic -Wconversion -Wsign-conversion -I. idioms.cc addresses.cc -o strict-cxx
./strict-cxx
