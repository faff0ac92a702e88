# The run reads the user's settings files and writes nothing beside them.
set -e
root=home/.brackwater_associates_limited
cmp "$root/settings.xml" "$CASE_DIR/input/$root/settings.xml"
cmp "$root/Larkspan for ARM/v4/settings.xml" "$CASE_DIR/input/$root/Larkspan for ARM/v4/settings.xml"
[ "$(find home -type f | wc -l)" = 2 ]
