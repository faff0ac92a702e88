#!/usr/bin/env python3
"""Writes a CMSIS-SVD file of the size and shape vendors ship.

    python3 generate_svd.py [--bytes N] > device.svd

Peripherals of a dozen kinds, each one described in full and followed by two
derived from it (as vendors do for GPIO ports and timers); registers with
descriptions, access, reset values and fields, a quarter of the fields with
enumerated values; a DMA controller with an array of channel clusters, and
register and field arrays. Peripherals are added until the file reaches
--bytes (4 MiB by default).
"""
import argparse
import sys

KINDS = ['GPIO', 'TIM', 'USART', 'SPI', 'I2C', 'ADC', 'CAN', 'USB', 'ETH', 'SDIO', 'CRC', 'RTC']


def register(w, name, offset, fields, indent='        '):
    w(f'{indent}<register>\n'
      f'{indent}  <name>{name}</name>\n'
      f'{indent}  <displayName>{name}</displayName>\n'
      f'{indent}  <description>{name} control and status register: configures the\n'
      f'{indent}    peripheral function and reports its state</description>\n'
      f'{indent}  <addressOffset>0x{offset:X}</addressOffset>\n'
      f'{indent}  <size>0x20</size>\n'
      f'{indent}  <access>read-write</access>\n'
      f'{indent}  <resetValue>0x00000000</resetValue>\n'
      f'{indent}  <fields>\n')
    width = 32 // fields
    for f in range(fields):
        w(f'{indent}    <field>\n'
          f'{indent}      <name>F{f}</name>\n'
          f'{indent}      <description>Field {f} of {name}: selects one of the modes\n'
          f'{indent}        described in the reference manual</description>\n'
          f'{indent}      <bitOffset>{f * width}</bitOffset>\n'
          f'{indent}      <bitWidth>{width}</bitWidth>\n')
        if f % 4 == 0:
            w(f'{indent}      <enumeratedValues>\n')
            for v in range(min(4, 1 << width)):
                w(f'{indent}        <enumeratedValue>\n'
                  f'{indent}          <name>Mode{v}</name>\n'
                  f'{indent}          <description>Mode {v}</description>\n'
                  f'{indent}          <value>{v}</value>\n'
                  f'{indent}        </enumeratedValue>\n')
            w(f'{indent}      </enumeratedValues>\n')
        w(f'{indent}    </field>\n')
    w(f'{indent}  </fields>\n{indent}</register>\n')


def peripheral(w, kind, index, base):
    name = f'{kind}{index}'
    if index % 3 != 0:
        w(f'    <peripheral derivedFrom="{kind}{index - index % 3}">\n      <name>{name}</name>\n'
          f'      <baseAddress>0x{base:08X}</baseAddress>\n'
          f'      <interrupt>\n        <name>{name}</name>\n        <value>{len(KINDS) * index + KINDS.index(kind)}</value>\n'
          f'      </interrupt>\n    </peripheral>\n')
        return
    w(f'    <peripheral>\n      <name>{name}</name>\n'
      f'      <description>{kind} controller</description>\n      <groupName>{kind}</groupName>\n'
      f'      <baseAddress>0x{base:08X}</baseAddress>\n'
      f'      <addressBlock>\n        <offset>0x0</offset>\n        <size>0x400</size>\n'
      f'        <usage>registers</usage>\n      </addressBlock>\n'
      f'      <interrupt>\n        <name>{name}</name>\n        <value>{len(KINDS) * index + KINDS.index(kind)}</value>\n'
      f'      </interrupt>\n      <registers>\n')
    for r in range(24):
        register(w, f'{kind}_R{r}', 4 * r, 8 if r % 3 else 16)
    w('        <register>\n          <dim>8</dim>\n          <dimIncrement>4</dimIncrement>\n'
      '          <name>BUF%s</name>\n          <addressOffset>0x100</addressOffset>\n'
      '          <fields>\n            <field>\n              <dim>4</dim>\n              <dimIncrement>8</dimIncrement>\n'
      '              <name>BYTE%s</name>\n              <bitRange>[7:0]</bitRange>\n'
      '            </field>\n          </fields>\n        </register>\n')
    w('        <cluster>\n          <dim>4</dim>\n          <dimIncrement>0x20</dimIncrement>\n'
      '          <name>CH[%s]</name>\n          <description>Channel %s</description>\n'
      '          <addressOffset>0x200</addressOffset>\n')
    for r in range(4):
        register(w, f'CR{r}', 4 * r, 8, indent='          ')
    w('        </cluster>\n      </registers>\n    </peripheral>\n')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--bytes', type=int, default=4 << 20)
    limit = parser.parse_args().bytes

    out = []
    size = 0

    def w(text):
        nonlocal size
        out.append(text)
        size += len(text)

    w('<?xml version="1.0" encoding="utf-8" standalone="no"?>\n'
      '<device schemaVersion="1.3" xmlns:xs="http://www.w3.org/2001/XMLSchema-instance" '
      'xs:noNamespaceSchemaLocation="CMSIS-SVD.xsd">\n'
      '  <vendor>Synthetic</vendor>\n  <name>SYNTH1</name>\n  <version>1.0</version>\n'
      '  <description>A vendor-sized synthetic device</description>\n'
      '  <cpu>\n    <name>CM4</name>\n    <revision>r0p1</revision>\n    <endian>little</endian>\n'
      '    <mpuPresent>true</mpuPresent>\n    <fpuPresent>true</fpuPresent>\n'
      '    <nvicPrioBits>4</nvicPrioBits>\n    <vendorSystickConfig>false</vendorSystickConfig>\n  </cpu>\n'
      '  <addressUnitBits>8</addressUnitBits>\n  <width>32</width>\n  <size>0x20</size>\n'
      '  <resetValue>0x0</resetValue>\n  <resetMask>0xFFFFFFFF</resetMask>\n  <peripherals>\n')
    index = 0
    while size < limit - 32:
        for k, kind in enumerate(KINDS):
            peripheral(w, kind, index, 0x40000000 + 0x10000 * k + 0x400 * index)
            if size >= limit - 32:
                break
        index += 1
    w('  </peripherals>\n</device>\n')
    sys.stdout.write(''.join(out))


main()
