# The -stdint header's registers of 8, 16, 32 and 64 bits in strict builds,
# as C11 and as C++17, with GCC and, where installed, with clang.
set -eu
strict="-Wall -Wextra -Werror -pedantic -Wconversion -Wsign-conversion -I. -c"
cp "$CASE_DIR/idioms.c" idioms.c
cp idioms.c idioms.cc
gcc -std=c11 $strict idioms.c -o gcc-c.o
g++ -std=c++17 $strict idioms.cc -o gcc-cxx.o
if command -v clang-14 >/dev/null; then
  clang-14 -std=c11 $strict -DLITERAL_CLEAR idioms.c -o clang-c.o
  clang++-14 -std=c++17 $strict -DLITERAL_CLEAR idioms.cc -o clang-cxx.o
fi
