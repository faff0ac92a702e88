[ "$(grep -c '^#define R[0-9]* ' out.h)" = 1000000 ] &&
  grep -qx '#define R0 (\*(volatile unsigned long \*)0x40000000)' out.h &&
  grep -qx '#define R999999 (\*(volatile unsigned long \*)0x403D08FC)' out.h
