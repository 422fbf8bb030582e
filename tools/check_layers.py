#!/usr/bin/env python3
"""Fails on an #include "..." of the program that breaks the layers of ARCHITECTURE.md.

Usage: check_layers.py [SOURCE_ROOT]. Prints file:line, the include and the rule it breaks; exits 1
when there is any, 0 otherwise. Tests, benchmarks and tools may include anything and are not read.
"""
import os
import re
import sys

# What each program folder may include (itself always). Dependencies point downward only.
MAY_INCLUDE = {
    'foundation': [],
    'framework': ['foundation'],
    'shuffle/core': ['foundation'],
    'shuffle/playlist': ['foundation', 'shuffle/core'],
    'library': ['foundation', 'shuffle/core'],
    'albumart/core': ['foundation'],
    'shuffle/page': ['foundation', 'framework', 'resources', 'shuffle/core', 'shuffle/playlist', 'library'],
    'albumart/page': ['foundation', 'framework', 'resources', 'albumart/core'],
    'app': ['foundation', 'framework', 'resources', 'shuffle/page', 'albumart/page'],
    'standin': ['foundation'],
    'resources': [],
}
TOP = sorted({f.split('/')[0] for f in MAY_INCLUDE})
SOURCES = ('.cpp', '.h', '.rc', '.inc')
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(rel):
    """The layer folder of a root-relative path, or None when it is not program code."""
    best = None
    for f in MAY_INCLUDE:
        if rel.startswith(f + '/') and (best is None or len(f) > len(best)):
            best = f
    return best


def check(root):
    problems = []
    for top in TOP:
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if not name.endswith(SOURCES):
                    continue
                rel = os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, '/')
                here = folder_of(rel)
                if here is None:
                    problems.append(f'{rel}:1: not in a folder of the layers: add the folder to '
                                    f'tools/check_layers.py and ARCHITECTURE.md')
                    continue
                with open(os.path.join(root, rel), encoding='utf-8', errors='replace') as f:
                    for n, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        inc = m.group(1)
                        local = os.path.normpath(os.path.join(os.path.dirname(rel), inc)).replace(os.sep, '/')
                        target = local if os.path.exists(os.path.join(root, local)) else inc
                        there = folder_of(target)
                        allowed = [here] + MAY_INCLUDE[here]
                        if there in allowed:
                            continue
                        what = there or target.split('/')[0] + '/ (not program code)'
                        problems.append(f'{rel}:{n}: includes "{inc}" ({what}): {here} may include only '
                                        + ', '.join(allowed))
    return problems


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..')
    problems = check(os.path.abspath(root))
    for p in problems:
        print(p)
    if problems:
        print(f'{len(problems)} problem(s) with the layers (see ARCHITECTURE.md)')
        return 1
    print('layers: every include points downward')
    return 0


if __name__ == '__main__':
    sys.exit(main())
