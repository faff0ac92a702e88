# The struct-style firmware example against the -structs header of the
# example device: built and run on the host, C11 and C++17 under the strict
# warnings with a stand-in core header, and built for a Cortex-M3 where
# arm-none-eabi-gcc is installed.
set -e
examples="$DATA_DIR/../../examples"
"$REGWRIGHT" "$examples/soc.xml" soc.h LARK1 FAMILY=LARK1 -structs lark1.h
strict="-Wall -Wextra -Werror -pedantic -Wconversion -Wsign-conversion -isystem $DATA_DIR/core-stand-in -I."
cp "$examples/structs-project/main.c" main.c
cp main.c main.cc
gcc -std=c11 $strict main.c -o uart_setup
./uart_setup
g++ -std=c++17 $strict -c main.cc -o main-cxx.o
gcc -std=c11 -Wall -Wextra -Werror -pedantic -DREGWRIGHT_NO_CORE_HEADER -I. -c main.c -o without-core.o
if command -v arm-none-eabi-gcc >/dev/null; then
  arm-none-eabi-gcc -std=c11 -mcpu=cortex-m3 -mthumb -Os $strict -c main.c -o main-cm3.o
fi
