#!/usr/bin/env bash
# Builds the release binary, generates the synthetic maps and prints the table.
# Usage: bench/run.sh [--quick] [--runs N]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target regwright >/dev/null
python3 bench/measure.py --regwright "$(pwd)/build/release/src/tool/regwright" "$@"
