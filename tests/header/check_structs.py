#!/usr/bin/env python3
"""Holds the struct-style header of a map or SVD file against its flat header.

    check_structs.py REGWRIGHT INPUT WORKDIR [--core-headers DIR] [--expect-left-out N]

Runs regwright on INPUT for the flat header, the -structs header and the
expanded map, then builds a program from three translation units: one takes
every register's address and size, every mask and every vector from the flat
header, one takes the same from the struct header through the expression the
expanded map says reaches it (INSTANCE->CLUSTER[i].MEMBER[k]), and one
compares the two lists. The struct header is compiled as C11 and C++17 under
the strict warnings. Enumerated values are checked against the map's. Exits
0 when everything agrees.

This script works out the struct expressions on its own from the map's
structure attributes, so that the test does not take the tool's word for
where a member lies.
"""
import argparse
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

STRICT = ['-Wall', '-Wextra', '-Werror', '-pedantic', '-Wconversion', '-Wsign-conversion']
IDENT = re.compile(r'^[A-Za-z_][A-Za-z0-9_]*$')


def c_identifier(text):
    out = re.sub(r'[^A-Za-z0-9_]', '_', text)
    return '_' + out if out[:1].isdigit() else out


def without_index(name):
    return name.replace('[%s]', '').replace('%s', '')


def number(text):
    text = text.strip()
    if text.lower().startswith('0x'):
        return int(text, 16)
    if text.lower().startswith('0b'):
        return int(text[2:], 2)
    if text.startswith('#'):
        return int(text[1:], 2)
    return int(text, 10)


def member_expression(reg, group_name):
    """The member path of a register inside its instance, as the struct
    header must spell it, and its macro stem, from the structure attributes."""
    path = []
    stem = []
    clusters = reg.get('clusters')
    if clusters:
        names = clusters.split(';')
        indices = reg.get('cluster_indices').split(';')
        counts = reg.get('cluster_counts').split(';')
        for name, index, count in zip(names, indices, counts):
            plain = c_identifier(without_index(name))
            path.append(plain + ('[%d]' % number(index) if number(count) > 1 else ''))
            stem.append(plain)
    member = reg.get('member')
    if member is None:
        member = reg.get('name')
        if member.startswith(group_name + '_') and len(member) > len(group_name) + 1:
            member = member[len(group_name) + 1:]
    array = reg.get('array') or ''
    size = int(reg.get('size', '4'))
    if '[%s]' in array and number(reg.get('array_increment')) == size:
        plain = c_identifier(without_index(array))
        path.append('%s[%d]' % (plain, number(reg.get('array_index'))))
    else:
        plain = c_identifier(member)
        path.append(plain)
    stem.append(plain)
    return '.'.join(path), '_'.join(stem)


def main():
    p = argparse.ArgumentParser(description=__doc__)
    p.add_argument('regwright')
    p.add_argument('input')
    p.add_argument('work')
    p.add_argument('--core-headers')
    p.add_argument('--expect-left-out', type=int, default=0)
    a = p.parse_args()
    os.makedirs(a.work, exist_ok=True)
    flat, structs, expanded = (os.path.join(a.work, n) for n in ('flat.h', 'structs.h', 'expanded.xml'))
    run = subprocess.run([a.regwright, a.input, flat, 'CHECK', '-stdint', '-structs', structs, '-map', expanded],
                         capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit('regwright failed: ' + run.stderr)
    left_out = [line for line in run.stderr.splitlines() if '-structs leaves out' in line]
    if len(left_out) != a.expect_left_out:
        sys.exit('expected %d things left out, got:\n%s' % (a.expect_left_out, '\n'.join(left_out)))
    skipped = set(re.findall(r'-structs leaves out register (\S+):', run.stderr))

    header = open(structs).read()
    type_of = dict(re.findall(r'^#define (\w+) \(\((\w+) \*\) \1_BASE\)$', header, re.M))
    root = ET.parse(expanded).getroot()

    registers, masks, values, vectors = [], [], [], []
    for group in root.iter('RegisterGroup'):
        instance = c_identifier(group.get('name', ''))
        if instance not in type_of:
            continue
        prefix = type_of[instance][:-len('_Type')]
        prepend = group.get('prepend_group_name') is not None
        for reg in group.findall('Register'):
            name = reg.get('name', '')
            flat_name = (group.get('name') + '_' if prepend else '') + name
            if not IDENT.match(flat_name) or name in skipped:
                continue
            path, stem = member_expression(reg, group.get('name', ''))
            size = int(reg.get('size', '4'))
            registers.append((flat_name, '%s->%s' % (instance, path), size in (1, 2, 4)))
            for field in reg.findall('BitField'):
                start, width = int(field.get('start', '0')), int(field.get('size', '0'))
                fname = field.get('name', '')
                if width == 0 or start + width > 32 or not IDENT.match(fname):
                    continue
                macro = '%s_%s_%s' % (prefix, stem, c_identifier(fname))
                masks.append((flat_name + '_' + fname + '_MASK', macro + '_Msk'))
                for item in field.findall('Enum'):
                    try:
                        value = number(item.get('start', ''))
                    except ValueError:
                        continue
                    values.append((macro + '_' + c_identifier(item.get('name', '')), value << start))
    for vector in root.iter('Vector'):
        name = vector.get('name', '')
        if IDENT.match(name):
            vectors.append(name)

    def table(include, entries, kind):
        lines = ['#include <stddef.h>', '#include <stdint.h>', '#include "%s"' % include]
        lines.append('const uintptr_t %s_addresses[] = {0' % kind + ''.join(
            ',\n  (uintptr_t)&%s' % (e[0] if kind == 'flat' else e[1]) for e in registers) + '};')
        lines.append('const size_t %s_sizes[] = {0' % kind + ''.join(
            ',\n  %s' % ('sizeof %s' % (e[0] if kind == 'flat' else e[1]) if e[2] else '0') for e in registers) + '};')
        lines.append('const uint64_t %s_masks[] = {0' % kind + ''.join(
            ',\n  (uint64_t)%s' % (m[0] if kind == 'flat' else m[1]) for m in masks) + '};')
        lines.append('const long long %s_vectors[] = {0' % kind + ''.join(
            ',\n  (long long)%s' % v for v in vectors) + '};')
        if kind == 'struct':
            lines.append('const uint64_t struct_values[] = {0' + ''.join(
                ',\n  (uint64_t)%s' % v[0] for v in values) + '};')
        return '\n'.join(lines) + '\n'

    open(os.path.join(a.work, 'flat_table.c'), 'w').write(table('flat.h', registers, 'flat'))
    open(os.path.join(a.work, 'struct_table.c'), 'w').write(table('structs.h', registers, 'struct'))
    main_c = ['#include <stdint.h>', '#include <stddef.h>', '#include <stdio.h>']
    for kind in ('flat', 'struct'):
        main_c += ['extern const uintptr_t %s_addresses[];' % kind, 'extern const size_t %s_sizes[];' % kind,
                   'extern const uint64_t %s_masks[];' % kind, 'extern const long long %s_vectors[];' % kind]
    main_c.append('extern const uint64_t struct_values[];')
    main_c.append('static const char *const names[] = {""' + ''.join(',\n  "%s"' % e[0] for e in registers) + '};')
    main_c.append('static const char *const mask_names[] = {""' + ''.join(',\n  "%s"' % m[1] for m in masks) + '};')
    main_c.append('static const char *const vector_names[] = {""' + ''.join(',\n  "%s"' % v for v in vectors) + '};')
    main_c.append('static const char *const value_names[] = {""' + ''.join(',\n  "%s"' % v[0] for v in values) + '};')
    main_c.append('static const uint64_t expected_values[] = {0' + ''.join(',\n  %dULL' % v[1] for v in values) + '};')
    main_c.append('''int main(void) {
  int wrong = 0;
  for (size_t i = 1; i < sizeof names / sizeof names[0]; ++i) {
    if (flat_addresses[i] != struct_addresses[i] || flat_sizes[i] != struct_sizes[i]) {
      printf("register %s: flat %#lx/%zu, struct %#lx/%zu\\n", names[i], (unsigned long)flat_addresses[i],
             flat_sizes[i], (unsigned long)struct_addresses[i], struct_sizes[i]);
      ++wrong;
    }
  }
  for (size_t i = 1; i < sizeof mask_names / sizeof mask_names[0]; ++i) {
    if (flat_masks[i] != struct_masks[i]) { printf("mask %s differs\\n", mask_names[i]); ++wrong; }
  }
  for (size_t i = 1; i < sizeof vector_names / sizeof vector_names[0]; ++i) {
    if (flat_vectors[i] != struct_vectors[i]) { printf("vector %s differs\\n", vector_names[i]); ++wrong; }
  }
  for (size_t i = 1; i < sizeof value_names / sizeof value_names[0]; ++i) {
    if (struct_values[i] != expected_values[i]) { printf("value %s differs\\n", value_names[i]); ++wrong; }
  }
  printf("%zu registers, %zu masks, %zu vectors, %zu values compared; %d wrong\\n",
         sizeof names / sizeof names[0] - 1, sizeof mask_names / sizeof mask_names[0] - 1,
         sizeof vector_names / sizeof vector_names[0] - 1, sizeof value_names / sizeof value_names[0] - 1, wrong);
  return wrong != 0;
}''')
    open(os.path.join(a.work, 'main.c'), 'w').write('\n'.join(main_c) + '\n')

    includes = ['-I', a.work] + (['-isystem', a.core_headers] if a.core_headers else ['-DREGWRIGHT_NO_CORE_HEADER'])
    cc = lambda *args: subprocess.run(list(args), cwd=a.work, check=True)
    cc('gcc', '-std=c11', *STRICT, *includes, '-c', 'struct_table.c', '-o', 'struct_table.o')
    os.replace(os.path.join(a.work, 'struct_table.c'), os.path.join(a.work, 'struct_table.cc'))
    cc('g++', '-std=c++17', *STRICT, *includes, '-c', 'struct_table.cc', '-o', 'struct_table_cxx.o')
    cc('gcc', '-std=c11', '-I', a.work, '-c', 'flat_table.c', '-o', 'flat_table.o')
    cc('gcc', '-std=c11', '-c', 'main.c', '-o', 'main.o')
    cc('gcc', 'main.o', 'flat_table.o', 'struct_table.o', '-o', 'compare')
    result = subprocess.run([os.path.join(a.work, 'compare')], capture_output=True, text=True)
    print(result.stdout, end='')
    if len(registers) == 0:
        sys.exit('no register was compared')
    sys.exit(result.returncode)


if __name__ == '__main__':
    main()
