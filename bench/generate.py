#!/usr/bin/env python3
"""Writes a synthetic memory map of groups x registers x bit fields.

Two forms with identical headers: "flat" spells out every element, "loop"
writes the same map with define, for and macro references so that the
preprocessor does the work. Attributes that real maps carry (descriptions,
access, reset values) are included so the input has a realistic size.

A third form, "dense", is shaped like a device map written by hand: short
names, no descriptions, groups that prepend their name, and bit fields of
mixed widths, most of them single bits (which give the most header lines).
"""
import argparse
import sys

GROUP_STRIDE = 0x10000
BASE = 0x40000000


def flat(out, groups, registers, fields):
    w = out.write
    w('<!DOCTYPE Board_Memory_Definition_File>\n<Root name="Synthetic">\n')
    width = 32 // fields
    for g in range(groups):
        w(f'  <RegisterGroup name="G{g}" start="0x{BASE + g * GROUP_STRIDE:X}" '
          f'description="Synthetic peripheral {g} with {registers} registers">\n')
        for r in range(registers):
            w(f'    <Register name="G{g}_R{r}" start="+0x{r * 4:X}" size="4" '
              f'reset_value="0x00000000" description="Register {r} of peripheral G{g}">\n')
            for f in range(fields):
                w(f'      <BitField name="F{f}" start="{f * width}" size="{width}" '
                  f'access="RW" description="Field F{f} of G{g}_R{r}"/>\n')
            w('    </Register>\n')
        w('  </RegisterGroup>\n')
    w('</Root>\n')


# Widths of the bit fields in a dense register, low bits first: single bits
# and a few wider fields, as control registers have them.
DENSE_WIDTHS = [1, 1, 1, 1, 2, 2, 4, 8, 1, 1, 2, 4, 1, 1, 1, 1]


def dense(out, groups, registers, fields):
    w = out.write
    w('<?xml version="1.0" encoding="UTF-8"?>\n<Root name="Dense">\n')
    w(f'  <MemorySegment name="Peripherals" start="0x{BASE:X}" size="0x{groups * GROUP_STRIDE:X}">\n')
    widths = DENSE_WIDTHS[:fields]
    for g in range(groups):
        w(f'    <RegisterGroup name="P{g}" start="0x{BASE + g * GROUP_STRIDE:X}" prepend_group_name="1">\n')
        for r in range(registers):
            w(f'      <Register name="CR{r}" start="+0x{r * 4:X}" size="4">\n')
            bit = 0
            for f, width in enumerate(widths):
                w(f'        <BitField name="FLD{f}EN" start="{bit}" size="{width}"/>\n')
                bit += width
            w('      </Register>\n')
        w('    </RegisterGroup>\n')
    w('  </MemorySegment>\n</Root>\n')


def loop(out, groups, registers, fields):
    width = 32 // fields
    out.write(f'''<!DOCTYPE Board_Memory_Definition_File>
<Root name="Synthetic">
  <define name="REGSIZE" value="4"/>
  <define name="WIDTH" expression="32 / {fields}"/>
  <define name="BASE" hex_expression="0x{BASE:X}"/>
  <for index="g" start="0" end="{groups}" incr="1" mul="{GROUP_STRIDE}" add="$(BASE)">
    <RegisterGroup name="G$(g)" start="$(g_ap_hex)" description="Synthetic peripheral $(g) with {registers} registers">
      <for index="r" start="0" end="{registers}" incr="1" mul="$(REGSIZE)">
        <Register name="G$(g)_R$(r)" start="+$(r_ap_hex)" size="$(REGSIZE)" reset_value="0x00000000" description="Register $(r) of peripheral G$(g)">
          <for index="f" start="0" end="{fields}" incr="1" mul="$(WIDTH)">
            <BitField name="F$(f)" start="$(f_ap)" size="$(WIDTH)" access="RW" description="Field F$(f) of G$(g)_R$(r)"/>
          </for>
        </Register>
      </for>
    </RegisterGroup>
  </for>
</Root>
''')
    assert width * fields == 32


def main():
    p = argparse.ArgumentParser(description=__doc__)
    p.add_argument('form', choices=['flat', 'dense', 'loop'])
    p.add_argument('--groups', type=int, default=100)
    p.add_argument('--registers', type=int, default=1000, help='registers per group')
    p.add_argument('--fields', type=int, default=8,
                   help='bit fields per register (divides 32; dense: at most 16)')
    a = p.parse_args()
    if a.form == 'dense' and a.fields > len(DENSE_WIDTHS):
        p.error(f'--fields must be at most {len(DENSE_WIDTHS)} for the dense form')
    if a.form != 'dense' and 32 % a.fields:
        p.error('--fields must divide 32')
    {'flat': flat, 'dense': dense, 'loop': loop}[a.form](sys.stdout, a.groups, a.registers, a.fields)


if __name__ == '__main__':
    main()
