#!/usr/bin/env bash
# Builds the release binary and times the -html page in headless Chromium
# (bench/page.py), under Debian's python3, which has python3-selenium.
# Usage: bench/page.sh [--runs N] [--svd-bytes N] [--also FILE]...
# REGWRIGHT=<binary> measures the pages that binary writes instead.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${REGWRIGHT:-}" ]; then
  scripts/install-deps.sh
  cmake --preset release >/dev/null
  cmake --build --preset release --target regwright >/dev/null
  REGWRIGHT="$(pwd)/build/release/src/tool/regwright"
fi
/usr/bin/python3 bench/page.py --regwright "$REGWRIGHT" "$@"
