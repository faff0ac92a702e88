out.h: old.xml
