grep -q '^#define R ' out.h
