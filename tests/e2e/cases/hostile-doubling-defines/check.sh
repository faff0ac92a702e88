grep -qx '#define R (\*(volatile unsigned long \*)0x40000004)' out.h
