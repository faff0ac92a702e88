# The struct-style header of the device against its flat header: every
# register's address and size, every mask and vector, compiled strictly as
# C11 and C++17.
exec python3 "$CASE_DIR/../../../header/check_structs.py" "$REGWRIGHT" "$DATA_DIR/stm32f103/flat.xml" work
