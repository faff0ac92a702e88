#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when missing.
# Works as root without sudo and on a machine where apt-get update never ran.
set -euo pipefail

packages=(g++ gcc cmake ninja-build pkg-config libgtest-dev libpugixml-dev libpcre2-dev libutf8proc-dev zlib1g-dev
          clang-14 libclang-rt-14-dev libxml2-utils time make scdoc man-db dpkg-dev file python3
          chromium chromium-driver python3-selenium)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
echo "installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
# A fresh machine has no package lists yet; refresh them once and retry.
if ! "${as_root[@]}" apt-get install -y -q "${missing[@]}" >&2; then
  "${as_root[@]}" apt-get update -q >&2
  "${as_root[@]}" apt-get install -y -q "${missing[@]}" >&2
fi
