# /dev/stdout is a link into /proc; it must still be one.
[ -L /dev/stdout ]
