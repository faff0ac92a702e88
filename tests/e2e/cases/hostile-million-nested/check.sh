grep -qx '#define BOTTOM (\*(volatile unsigned long \*)0x3D0900)' out.h
