#!/usr/bin/env bash
# Builds the release binary, generates the synthetic maps and prints the table.
# Usage: bench/run.sh [--quick] [--runs N] [--only ROW ...]
# REGWRIGHT=<binary> measures that binary instead of building one.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${REGWRIGHT:-}" ]; then
  scripts/install-deps.sh
  cmake --preset release >/dev/null
  cmake --build --preset release --target regwright >/dev/null
  REGWRIGHT="$(pwd)/build/release/src/tool/regwright"
fi
python3 bench/measure.py --regwright "$REGWRIGHT" "$@"
