# Memory running out at any point of a plain map's load, while the second
# thread writes the definitions: every limit from the smallest the tool
# starts under up to the one it succeeds under ends the run with status 0,
# or with status 1 and the out-of-memory message, the old header untouched
# and no temporary file left. The sanitizers reserve more address space than
# any such limit allows; the unit test DefinitionsWhileReading.* sweeps
# failing allocations under them instead.
if grep -q __asan_init "$REGWRIGHT"; then exit 0; fi
python3 - > map.xml <<'PY'
print('<Root name="R">')
for g in range(40):
    print('<RegisterGroup name="G%d" start="0x%X">' % (g, 0x40000000 + g * 0x10000))
    for r in range(1000):
        print('<Register name="R%d_%d" start="0x%X" size="4"><BitField name="F" start="0" size="1"/></Register>'
              % (g, r, 0x40000000 + g * 0x10000 + 4 * r))
    print('</RegisterGroup>')
print('</Root>')
PY
echo old > out.h
. "$CASE_DIR/../../address_space_floor.sh"
failed=0 succeeded=0 runs=0
for kib in $(seq "$floor" 1500 200000); do
  runs=$((runs + 1))
  (ulimit -v "$kib"; exec "$REGWRIGHT" map.xml out.h) 2> err.txt
  status=$?
  if ls ./*.regwright-tmp-* >/dev/null 2>&1; then echo "$kib KiB: a temporary file was left"; failed=1; rm -f ./*.regwright-tmp-*; fi
  if [ "$status" -eq 0 ]; then succeeded=1; break; fi
  if [ "$status" -ne 1 ] || [ "$(cat err.txt)" != "regwright: error: out of memory" ]; then
    echo "$kib KiB: status $status, stderr: $(head -c 200 err.txt)"; failed=1
  fi
  [ "$(cat out.h)" = old ] || { echo "$kib KiB: the old header changed"; failed=1; echo old > out.h; }
done
[ "$succeeded" -eq 1 ] || { echo "no limit up to 200000 KiB let the run succeed"; failed=1; }
[ "$runs" -gt 5 ] || { echo "only $runs limits failed before the run succeeded: the sweep says little"; failed=1; }
exit $failed
