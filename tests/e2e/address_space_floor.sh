# Sourced by the cases that run the tool under address-space limits: sets
# `floor` to the smallest limit (in KiB, in steps of 1000 from 4000) under
# which the tool starts at all; a dynamically linked build needs room for its
# libraries first. Ends the case when it does not start under 150000 KiB.
floor=4000
until bash -c 'ulimit -v "$1"; "$2"; exit $?' starts "$floor" "$REGWRIGHT" >/dev/null 2>&1; do
  floor=$((floor + 1000))
  [ "$floor" -le 150000 ] || { echo "the tool does not start under 150000 KiB"; exit 1; }
done
