# The header's members lie where the flat header's registers do.
exec python3 "$CASE_DIR/../../../header/check_structs.py" "$REGWRIGHT" map.xml held >/dev/null
