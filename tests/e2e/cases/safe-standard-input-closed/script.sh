# Started with standard input closed, as some build tools start their steps:
# the first file the run opens gets descriptor 0 and must serve like any
# other, and every output is the same as with standard input open.
mkdir closed open
(cd closed && "$REGWRIGHT" ../map.xml out.h -svd out.svd -html out.html 0<&-) || { echo "status $? with standard input closed"; exit 1; }
(cd open && "$REGWRIGHT" ../map.xml out.h -svd out.svd -html out.html) || exit 1
for f in out.h out.svd out.html; do cmp -s closed/$f open/$f || { echo "$f differs"; exit 1; }; done
if ls closed/*.regwright-tmp-* 2> /dev/null; then echo "a temporary file was left"; exit 1; fi
