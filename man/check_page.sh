#!/usr/bin/env bash
# Fails when man or groff has anything to say about the rendered page.
set -u
page=$1
[ -s "$page" ] || { echo "missing page $page"; exit 1; }
warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then echo "man -l: $warnings"; exit 1; fi
warnings=$(zcat -f "$page" | groff -ww -z -man -Tutf8 2>&1)
if [ -n "$warnings" ]; then echo "groff: $warnings"; exit 1; fi
exit 0
