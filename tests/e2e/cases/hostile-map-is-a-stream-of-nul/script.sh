# A stream of NUL bytes as the map or as an SVD file is refused at its first
# byte, not read up to the size bound; `timeout` only keeps a broken build
# from hanging the suite.
head -c 2000000000 /dev/zero | timeout 60 "$REGWRIGHT" /dev/stdin out.h
echo "status $?"
mkfifo zeros.svd
head -c 2000000000 /dev/zero > zeros.svd 2>/dev/null &
timeout 60 "$REGWRIGHT" zeros.svd out.h
echo "status $?"
kill %1 2>/dev/null
wait
