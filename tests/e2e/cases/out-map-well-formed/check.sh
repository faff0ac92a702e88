# The expanded map is XML that other tools read, and regwright reads it back
# to the same header.
set -e
bash "$CASE_DIR/../../well_formed.sh" flat.xml
mkdir again
(cd again && "$REGWRIGHT" ../flat.xml out.h)
cmp again/out.h out.h
