ln -s map.xml out.h
