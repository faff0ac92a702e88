# An expanded map larger than the file size limit fails like a full disk:
# the partial file goes, the old map and the old header stay.
(ulimit -f 512; exec "$REGWRIGHT" map.xml out.h -map flat.xml)
echo "status $?"
[ -z "$(ls ./*.regwright-tmp-* 2> /dev/null)" ] || echo "a temporary file was left"
