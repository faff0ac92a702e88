# The directive-written fixture, expanded into one file: no directive and no
# relative start is left, and the file gives the original's header, with and
# without the options that use group bases and register addresses.
set -e
cmp device.h "$CASE_DIR/../fixture-flat/expected/device.h"
if grep -Eq '<(if|define|include|envelope)[ >/]|start="\+' flat.xml; then exit 1; fi
mkdir again && cd again
"$REGWRIGHT" ../flat.xml device.h STM32F103
cmp device.h ../device.h
"$REGWRIGHT" "$CASE_DIR/../../../data/stm32f103/main.xml" main.h STM32F103 FAMILY=STM32F103 -regbaseoffs -bitband 0x40000000
"$REGWRIGHT" ../flat.xml main.h.flat STM32F103 -regbaseoffs -bitband 0x40000000
cmp main.h main.h.flat
