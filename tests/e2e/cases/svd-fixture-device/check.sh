# The vendor-style file (peripherals derived from identical ones, interrupts
# in their peripherals) defines exactly what the fixture's flat map defines;
# the SVD and the map written from it read back to the same header, and the
# SVD is valid.
set -e
cmp <(sort device.h) <(sort "$CASE_DIR/../fixture-flat/expected/device.h")
xmllint --noout --schema "$CASE_DIR/../../../data/svd/cmsis-svd-1.3.xsd" back.svd 2>/dev/null
for input in back.svd flat.xml; do
  mkdir "again-$input"
  (cd "again-$input" && "$REGWRIGHT" "../$input" device.h STM32F103)
  cmp "again-$input/device.h" device.h
done
