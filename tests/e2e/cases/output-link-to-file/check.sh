# The link went, not the file it pointed to.
[ ! -L out.h ]
