out$$.h: my\ maps/a\#1.xml @WORK@/my\ maps/port\:a.xml
