# A link into /proc names an open file of the process: it stays.
[ -L out.h ]
