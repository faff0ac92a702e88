# The start of an executable, NUL bytes and all, under an SVD name.
printf '\177ELF\002\001\001\000\000\000\000\000\000\000\000\000\003\000\076\000\001\000\000\000\020\020\n\000\000\377\376' > blob.svd
