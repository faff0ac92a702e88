# The SVD written from the fixture's flat map is valid and gives the flat
# map's header, with and without the options that use group bases and
# register addresses.
set -e
cmp device.h "$CASE_DIR/../fixture-flat/expected/device.h"
xmllint --noout --schema "$CASE_DIR/../../../data/svd/cmsis-svd-1.3.xsd" device.svd 2>/dev/null
mkdir again && cd again
"$REGWRIGHT" ../device.svd device.h STM32F103
cmp device.h ../device.h
for input in "$CASE_DIR/../../../data/stm32f103/flat.xml" ../device.svd; do
  "$REGWRIGHT" "$input" options.h STM32F103 -regbaseoffs -bitband 0x40000000
  mv options.h "options-$(basename "$input").h"
done
cmp options-flat.xml.h options-device.svd.h
