# The hostile cases of check-headers-unchanged.
exec bash "$CASE_DIR/../check-headers-unchanged/script.sh"
