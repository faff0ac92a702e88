# gen/.. is sub, where the kernel takes it, not here.
grep -q '^#define R ' sub/soc.h
