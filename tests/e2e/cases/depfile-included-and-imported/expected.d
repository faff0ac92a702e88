out.h: main.xml @WORK@/parts/uart.xml @WORK@/parts/status.xml timer.xml
