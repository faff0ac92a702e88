#!/usr/bin/env bash
# Command 1: install what is missing, build regwright, turn examples/ into a header.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target regwright
mkdir -p out
build/release/src/tool/regwright examples/soc.xml out/soc.h "LARK1" "FAMILY=LARK1" -regbaseoffs -bitband 0x40000000
echo "wrote $(pwd)/out/soc.h"
