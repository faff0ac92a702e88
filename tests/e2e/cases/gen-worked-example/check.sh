# The generator's part of the header: everything between the include guard's
# empty line and the closing empty line and "#endif".
guard_line=$(grep -n -m1 '^#define out_h$' out.h | cut -d: -f1) || exit 1
tail -n +"$((guard_line + 2))" out.h | head -n -2 > body.actual
if ! cmp -s "$CASE_DIR/body" body.actual; then
  diff -u "$CASE_DIR/body" body.actual
  exit 1
fi
