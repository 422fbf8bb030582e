#!/usr/bin/env python3
"""Writes albumart/core/UnicodeTables.inc: the character data behind the comparison keys of folder names
in every script (lower case, letters/digits/marks, NFKC). Generated once and committed, so that the
Windows build and the native build give the same keys whatever the system's own tables are.

Source: this Python's unicodedata. Run: python3 tools/unicode-tables.py > albumart/core/UnicodeTables.inc
Before writing, the tables are checked against unicodedata.normalize on every code point and on
random strings, through a Python copy of the C++ algorithm in albumart/Unicode.cpp."""
import random
import sys
import unicodedata as ud

MAX = 0x110000
HANGUL_FIRST, HANGUL_LAST = 0xAC00, 0xD7A3
# Marks that only select a glyph variant or join: ignored in keys as they are in searches.
IGNORABLE_MARKS = [(0x034F, 0x034F), (0x180B, 0x180D), (0x180F, 0x180F), (0xFE00, 0xFE0F), (0xE0100, 0xE01EF)]


def simple_lower(cp):
    if cp == 0x130:  # the one full mapping of more than one character; its simple mapping is "i"
        return 0x69
    s = chr(cp).lower()
    return ord(s) if len(s) == 1 else cp


def char_class(cp):
    cat = ud.category(chr(cp))
    if cat[0] == 'L':
        return 1
    if cat == 'Nd':
        return 2
    if cat in ('Mn', 'Mc') and not any(a <= cp <= b for a, b in IGNORABLE_MARKS):
        return 3
    return 0


def runs(values):
    """(first, last, value) for consecutive code points with the same non-zero value."""
    out, start, prev = [], None, 0
    for cp in range(MAX + 1):
        v = values(cp) if cp < MAX else 0
        if v != prev:
            if prev:
                out.append((start, cp - 1, prev))
            start, prev = cp, v
    return out


def lower_runs():
    """(first, last, delta, stride): every stride-th code point from first to last maps to cp + delta,
    and none in between maps at all."""
    delta = {cp: simple_lower(cp) - cp for cp in range(MAX) if simple_lower(cp) != cp}
    out, cps, i = [], sorted(delta), 0
    while i < len(cps):
        first, d = cps[i], delta[cps[i]]
        best = (first, 1)
        for stride in (1, 2):
            last = first
            while delta.get(last + stride) == d and all(last + k not in delta for k in range(1, stride)):
                last += stride
            if last > best[0]:
                best = (last, stride)
        last, stride = best
        out.append((first, last, d, stride))
        while i < len(cps) and cps[i] <= last:
            i += 1
    return out


def decompositions():
    table = {}
    for cp in range(MAX):
        if HANGUL_FIRST <= cp <= HANGUL_LAST or 0xD800 <= cp <= 0xDFFF:
            continue
        d = ud.normalize('NFKD', chr(cp))
        if d != chr(cp):
            table[cp] = [ord(c) for c in d]
    return table


def compositions():
    """Primary composites: a canonical pair that NFC puts back together."""
    pairs = {}
    for cp in range(MAX):
        d = ud.decomposition(chr(cp))
        if not d or d.startswith('<'):
            continue
        parts = [int(x, 16) for x in d.split()]
        if len(parts) == 2 and ud.normalize('NFC', chr(parts[0]) + chr(parts[1])) == chr(cp):
            pairs[(parts[0], parts[1])] = cp
    return pairs


# ---- the C++ algorithm, in Python, to check the tables before they are written

def hangul_compose(a, b):
    if 0x1100 <= a <= 0x1112 and 0x1161 <= b <= 0x1175:
        return HANGUL_FIRST + ((a - 0x1100) * 21 + (b - 0x1161)) * 28
    if HANGUL_FIRST <= a <= HANGUL_LAST and (a - HANGUL_FIRST) % 28 == 0 and 0x11A8 <= b <= 0x11C2:
        return a + (b - 0x11A7)
    return None


def nfkc(text, decomp, comp, ccc):
    d = []
    for c in map(ord, text):
        if HANGUL_FIRST <= c <= HANGUL_LAST:
            s = c - HANGUL_FIRST
            d += [0x1100 + s // 588, 0x1161 + s % 588 // 28] + ([0x11A7 + s % 28] if s % 28 else [])
        else:
            d += decomp.get(c, [c])
    i = 0  # canonical order: a stable sort of each run of non-starters
    while i < len(d):
        j = i
        while j < len(d) and ccc(d[j]):
            j += 1
        d[i:j] = sorted(d[i:j], key=ccc)
        i = j + 1
    if not d:
        return ''
    out, starter, last = [d[0]], 0, 256 if ccc(d[0]) else 0
    for c in d[1:]:
        cc = ccc(c)
        composite = hangul_compose(out[starter], c) or comp.get((out[starter], c))
        if composite and (last < cc or last == 0):
            out[starter] = composite
            continue
        if cc == 0:
            starter = len(out)
        last = cc
        out.append(c)
    return ''.join(map(chr, out))


def check(decomp, comp):
    ccc = lambda c: ud.combining(chr(c))
    samples = [chr(cp) for cp in range(MAX) if not 0xD800 <= cp <= 0xDFFF]
    rng = random.Random(14)
    pool = [c for c in samples if ud.combining(c) or ud.decomposition(c)] + [chr(c) for c in range(0x1100, 0x11FF)]
    samples += [''.join(rng.choice(pool) for _ in range(rng.randint(1, 8))) for _ in range(300000)]
    for s in samples:
        if nfkc(s, decomp, comp, ccc) != ud.normalize('NFKC', s):
            sys.exit('table check failed for %r' % s)
    for cp in range(0x10000):
        if simple_lower(cp) > 0xFFFF:
            sys.exit('a lower-case mapping leaves the BMP: %04X' % cp)


def emit(name, ctype, rows, per_line):
    print('const %s %s[] = {' % (ctype, name))
    cells = ['{%s}' % ','.join(hex(v) if v >= 0 else str(v) for v in row) for row in rows]
    for i in range(0, len(cells), per_line):
        print('    ' + ','.join(cells[i:i + per_line]) + ',')
    print('};')


def main():
    decomp, comp = decompositions(), compositions()
    check(decomp, comp)
    pool, index = [], []
    for cp in sorted(decomp):
        seq = decomp[cp]
        index.append((cp, len(pool), len(seq)))
        pool += seq
    assert len(pool) < 1 << 16 and max(len(s) for s in decomp.values()) < 256
    print('// Generated by tools/unicode-tables.py from the Unicode Character Database %s. Do not edit.' % ud.unidata_version)
    print('// Included by albumart/core/Unicode.cpp only.')
    emit('kLowerRuns', 'LowerRun', lower_runs(), 6)
    emit('kClassRuns', 'ClassRun', runs(char_class), 7)
    emit('kCombiningRuns', 'ClassRun', runs(lambda c: ud.combining(chr(c)) if c < MAX else 0), 7)
    emit('kDecompositions', 'Decomposition', index, 7)
    print('const char32_t kDecompositionPool[] = {')
    for i in range(0, len(pool), 12):
        print('    ' + ','.join(hex(v) for v in pool[i:i + 12]) + ',')
    print('};')
    emit('kCompositions', 'Composition', sorted((a, b, c) for (a, b), c in comp.items()), 6)


if __name__ == '__main__':
    main()
