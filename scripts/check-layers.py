#!/usr/bin/env python3
"""Checks that each folder of the product includes only from itself and the
folders before it in the build's layering (CMakeLists.txt), so the house has
no arrow back up and no circle. Prints each offending include; exit 1 when
there is one."""
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..')
top = open(os.path.join(root, 'CMakeLists.txt'), encoding='utf-8').read()
order = re.search(r'foreach\(folder ([^)]*)\)', top).group(1).split()
# Generated headers and the resources' ids sit below every folder.
rank = {name: i for i, name in enumerate(order)}
rank['resources'] = -1
bad = []
for folder in order:
    for dirpath, _, names in os.walk(os.path.join(root, folder)):
        for name in names:
            if not name.endswith(('.h', '.cpp')):
                continue
            path = os.path.join(dirpath, name)
            for n, line in enumerate(open(path, encoding='utf-8'), 1):
                m = re.match(r'#include "([a-z_]+)/', line)
                if m and m.group(1) in rank and rank[m.group(1)] > rank[folder]:
                    bad.append(f'{os.path.relpath(path, root)}:{n}: {line.strip()}')
print('\n'.join(bad) if bad else f'layers: {" < ".join(order)}: no include from a later folder')
sys.exit(1 if bad else 0)
