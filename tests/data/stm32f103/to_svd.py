#!/usr/bin/env python3
"""Writes flat.xml as a CMSIS-SVD file the way vendors write them.

    python3 to_svd.py flat.xml > device.svd

The register size is said once for the device, a peripheral whose registers
repeat an earlier one's derives from it, and each interrupt sits in the
peripheral its name starts with (the first peripheral when none matches), so
the file reads back to the same definitions in a different order.
"""
import sys
import xml.etree.ElementTree as ET


def registers_key(group):
    return [(r.get('name'), r.get('start'), r.get('size'),
             [(f.get('name'), f.get('start'), f.get('size')) for f in r.iter('BitField')])
            for r in group.iter('Register')]


def home(vector_name, peripheral_names):
    matches = [p for p in peripheral_names if vector_name.startswith(p + '_') or vector_name.startswith(p)]
    return max(matches, key=len) if matches else peripheral_names[0]


def main():
    root = ET.parse(sys.argv[1]).getroot()
    groups = list(root.iter('RegisterGroup'))
    names = [g.get('name') for g in groups]
    interrupts = {name: [] for name in names}
    for vector in root.iter('Vector'):
        name = vector.get('name')[:-len('_IRQn')]
        interrupts[home(name, names)].append((name, vector.get('start')))

    w = sys.stdout.write
    w('<?xml version="1.0" encoding="utf-8" standalone="no"?>\n')
    w('<device schemaVersion="1.1" xmlns:xs="http://www.w3.org/2001/XMLSchema-instance" '
      'xs:noNamespaceSchemaLocation="CMSIS-SVD.xsd">\n')
    w(f'  <name>{root.get("name")}</name>\n  <version>1.0</version>\n')
    w('  <description>STM32F103 peripheral registers</description>\n')
    w('  <addressUnitBits>8</addressUnitBits>\n  <width>32</width>\n')
    w('  <size>0x20</size>\n  <resetValue>0x00000000</resetValue>\n  <resetMask>0xFFFFFFFF</resetMask>\n')
    w('  <peripherals>\n')
    seen = {}
    for group in groups:
        key = repr(registers_key(group))
        base = seen.get(key)
        derived = f' derivedFrom="{base}"' if base else ''
        w(f'    <peripheral{derived}>\n      <name>{group.get("name")}</name>\n')
        w(f'      <baseAddress>{group.get("start")}</baseAddress>\n')
        for name, value in interrupts[group.get('name')]:
            w(f'      <interrupt>\n        <name>{name}</name>\n        <value>{value}</value>\n      </interrupt>\n')
        if not base:
            seen[key] = group.get('name')
            w('      <registers>\n')
            for reg in group.iter('Register'):
                assert reg.get('size') == '4' and reg.get('start').startswith('+')
                w(f'        <register>\n          <name>{reg.get("name")}</name>\n')
                w(f'          <addressOffset>{reg.get("start")[1:]}</addressOffset>\n')
                fields = list(reg.iter('BitField'))
                if fields:
                    w('          <fields>\n')
                    for f in fields:
                        w(f'            <field>\n              <name>{f.get("name")}</name>\n'
                          f'              <bitOffset>{f.get("start")}</bitOffset>\n'
                          f'              <bitWidth>{f.get("size")}</bitWidth>\n            </field>\n')
                    w('          </fields>\n')
                w('        </register>\n')
            w('      </registers>\n')
        w('    </peripheral>\n')
    w('  </peripherals>\n</device>\n')


main()
