# A header larger than the file size limit fails like a full disk: the
# partial file goes, the old header stays.
(ulimit -f 16; exec "$REGWRIGHT" map.xml out.h)
echo "status $?"
[ -z "$(ls out.h.regwright-tmp-* 2> /dev/null)" ] || echo "a temporary file was left"
