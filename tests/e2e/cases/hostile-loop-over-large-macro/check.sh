grep -qx '#define R9999 (\*(volatile unsigned long \*)0x40009C3C)' out.h
