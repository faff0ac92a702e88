[ "$(grep -c '^#define P_D[0-9]* (\*(volatile unsigned long \*)0x4)$' out.h)" = 2000 ] &&
  [ "$(grep -c '^#define P_D' out.h)" = 2000 ] &&
  grep -qx '#define P_R_F_MASK 0xFFFF' out.h
