#!/usr/bin/python3
"""Writes tests/effects/distortion_reference_data.cpp, reference values of the
36 transfer curves of the distortion waveshaper, computed independently of our
C++ code.

Usage: generate_distortion_reference.py [OUTPUT]

OUTPUT is the data file to write, or a folder to write
distortion_reference_data.cpp into; without an argument the data file in the
source tree is rewritten. Run it with Debian's /usr/bin/python3; only the
standard library is used, and Python floats and the math module compute in
IEEE double precision, like the instrument. Repeated runs write identical
bytes, and nothing is printed on success.

Every table is built the way the instrument builds it, step by step and in the
same order of operations:

  * A new table of N entries holds the identity ramp 2 i / N - 1. With
    h = N / 2 and u = i / h (i = 0 .. h - 1) the positive branch is
    entry[h + i] = P(u) and the negative branch entry[h - 1 - i] = -Q(u);
    Q = P unless a curve gives its own.
  * Post passes: smooth (entry[j] = (entry[j - 1] + entry[j]) / 2 for
    ascending j >= 1, the predecessor already smoothed), clamp (to [-1, 1])
    and normalise (divide by the largest magnitude, unless that is 0).
  * One linear congruential generator, seeded with 1500 before the first
    table: state = state * 214013 + 2531011 mod 2^32, output
    (state >> 16) & 0x7FFF, random value (output mod 20000 - 10000) / 10000.
    Only the GrindMoth curves (first) and Big-Bad-Drive (after them) draw.

Products written a*b*c are evaluated left to right, so sin(2.5 pi u) is
sin((2.5 * pi) * u); a square or cube is the product of the value with itself
(x * x, x * x * x), formed before any coefficient multiplies it.

For every type the file holds the name, N and a selection of (index, value)
pairs: both ends, the entries around the centre, every N/16-th entry and one
entry with a varying odd offset after each of those. The seeded curves
(GrindMoth-Fuzz 1 to 3 and Big-Bad-Drive) are written in full.
"""

import math
import os
import sys

DEFAULT_OUTPUT = os.path.normpath(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'effects',
                 'distortion_reference_data.cpp'))
OUTPUT_NAME = 'distortion_reference_data.cpp'

PI = math.pi
DRIVE_GAIN = 20.0

NAMES = (
    'Linear',                # 0
    'Compressor',            # 1
    'Soft-Knie Compressor',  # 2
    'Hard-Overload',         # 3
    'KVSigmoid1-Drive',      # 4
    'KVSigmoid2-Drive',      # 5
    'KVSigmoid3-Drive',      # 6
    'Typhoon-Fuzz',          # 7
    'Vosk-Fuzz',             # 8
    'Zel-Fuzz 1',            # 9
    'Zel-Fuzz 2',            # 10
    'Soft-Tube-Distort',     # 11
    'Tube-Distort',          # 12
    'Transistor 1',          # 13
    'Full-Clip',             # 14
    'Fuzz-Drive1',           # 15
    'Hardcore-Fuzz1',        # 16
    'Hardcore-Fuzz2',        # 17
    'Hardcore-Fuzz3',        # 18
    'Hardcore-Fuzz4',        # 19
    'Industrial-Fuzz1',      # 20
    'Korvane-Drive1',        # 21
    'Korvane-Drive2',        # 22
    'Korvane-Drive3',        # 23
    'Korvane-Drive4',        # 24
    'GrindMoth-Fuzz 1',      # 25
    'GrindMoth-Fuzz 2',      # 26
    'GrindMoth-Fuzz 3',      # 27
    'Invert-and-Drive',      # 28
    'Big-Bad-Drive',         # 29
    'Big-Fat-Drive',         # 30
    'ViciousViper',          # 31
    'AssKicking',            # 32
    'TigersBlood',           # 33
    'MadDog',                # 34
    'Noise-Gate 1',          # 35
)

SIZES = {25: 128, 26: 128, 27: 128, 29: 64, 30: 64, 31: 64, 32: 140, 33: 160, 34: 80}
FULLY_WRITTEN = (25, 26, 27, 29)


# ---------------------------------------------------------------------------
# Building blocks


class Random:
    def __init__(self, seed):
        self.state = seed

    def output(self):
        self.state = (self.state * 214013 + 2531011) % (1 << 32)
        return (self.state >> 16) & 0x7FFF

    def value(self):
        return (self.output() % 20000 - 10000) / 10000.0


def new_table(n):
    return [2.0 * i / n - 1.0 for i in range(n)]


def fill(table, p, q=None):
    """Sets both branches from P(i, u) and Q(i, u)."""
    if q is None:
        q = p
    h = len(table) // 2
    for i in range(h):
        u = i / h
        table[h + i] = p(i, u)
        table[h - 1 - i] = -q(i, u)


def limit(x, low, high):
    return low if x < low else high if x > high else x


def smooth(table):
    for j in range(1, len(table)):
        table[j] = (table[j - 1] + table[j]) / 2.0


def clamp(table):
    for j in range(len(table)):
        table[j] = limit(table[j], -1.0, 1.0)


def normalise(table):
    peak = 0.0
    for x in table:
        if abs(x) > peak:
            peak = abs(x)
    if peak == 0.0:
        return
    for j in range(len(table)):
        table[j] = table[j] / peak * 1.0


def sq(x):
    return x * x


def s1(u):
    x = (u + 0.4 * math.sin(2.0 * PI * u) + 0.1 * math.sin(7.77 * PI * u) * (1.0 - u)
         + 0.2 * math.cos(21.0 * PI * u) * (1.0 - u))
    return limit(x, 0.0, 1.0)


def s2(u):
    return (u + 0.3777 * math.sin(2.0 * PI * u - 1.0084512418023237)
            + 0.3 * math.cos(7.0 * PI * u) * (1.0 - u) - 0.15 * math.sin(17.0 * PI * u) * (1.0 - u))


# ---------------------------------------------------------------------------
# The curves


def simple_curve(kind, table):
    n = len(table)
    h = n // 2
    if kind == 0:
        fill(table, lambda i, u: u)
    elif kind == 1:
        fill(table, lambda i, u: u if u < 0.5 else u - 0.8 * (u - 0.5))
    elif kind == 2:
        fill(table, lambda i, u: u if u < 0.5 else u - 0.24 * sq(2.0 * (u - 0.5)))
    elif kind == 3:
        k = DRIVE_GAIN * 0.777 / 0.22299999999999998
        fill(table, lambda i, u: (k + 1.0) * u / (k * u + 1.0))
    elif kind == 4:
        fill(table, lambda i, u: s1(u))
        smooth(table)
    elif kind == 5:
        fill(table, lambda i, u: s2(u))
        smooth(table)
    elif kind == 6:
        fill(table, lambda i, u: s1(u), lambda i, u: s2(u))
        smooth(table)
    elif kind == 7:
        bump_length = int(n / 20)

        def typhoon(i, u):
            x = (u - 0.4777 * math.sin(2.5 * PI * u) + 0.144 * math.sin(25.0 * PI * u)
                 - 0.1777 * math.cos(77.7 * PI * u))
            if i < bump_length:
                x = x + sq(math.sin(PI * i / bump_length))
            return limit(x, 0.0, 1.0)

        fill(table, typhoon)
        smooth(table)
    elif kind == 8:
        period = int(0.7 * h)
        fill(table, lambda i, u: u + (1.0 - u) * ((i % period) / period - 0.288))
        smooth(table)
    elif kind == 9:
        fill(table, lambda i, u: u + 0.35777 * math.sin(4.0 * PI * u))
        smooth(table)
    elif kind == 10:
        zel = lambda i, u: u + 0.35777 * math.sin(4.0 * PI * u)
        fill(table, zel, lambda i, u: zel(i, u) - 0.1777 * math.cos(3.0 * PI * u))
        smooth(table)
    elif kind == 11:
        fill(table, lambda i, u: u + (1.0 - u) * math.sin(PI * u))
    elif kind == 12:
        q = n // 4
        fill(table, lambda i, u: 0.97 * i / q if i < q
             else 0.7275 + 0.2425 * (1.0 - (i - q) / q))
    elif kind == 13:
        def transistor(i, u):
            if u < 0.8:
                s = math.sin(PI * u / 0.8)
                return u - 0.2 * (s * s * s)
            return u - 0.8 * (u - 0.8)

        fill(table, transistor)
    elif kind == 14:
        fill(table, lambda i, u: 0.0 if i < 2 else 1.0)
    elif kind == 15:
        ln_h = math.log(h)
        fill(table, lambda i, u: 0.0 if i == 0 else (math.log(u) + ln_h) / ln_h)
        smooth(table)
    elif kind == 21:
        fill(table, lambda i, u: (0.5 * math.sin(16.0 * PI * u) + 0.5 * math.cos(8.0 * PI * u))
             * (1.0 - u) + u)
    elif kind == 22:
        fill(table, lambda i, u: (0.5 * math.sin(12.0 * PI * u) + 0.5 * math.cos(6.0 * PI * u)
                                  + 0.5 * math.cos(24.0 * PI * u)) * (1.0 - u) + u)
    elif kind == 23:
        fill(table, lambda i, u: (0.5 * math.sin(15.0 * PI * u) + 0.5 * math.cos(5.0 * PI * u)
                                  + 0.5 * math.sin(25.0 * PI * u)) * sq(1.0 - u) + u)
    elif kind == 24:
        fill(table, lambda i, u: (0.5 * math.sin(12.0 * PI * u) + 0.5 * math.cos(4.0 * PI * u)
                                  + 0.5 * math.cos(16.0 * PI * u) + 0.5 * math.cos(20.0 * PI * u))
             * sq(1.0 - u) + u)
    elif kind == 28:
        fill(table, lambda i, u: 0.0 if i == 0 else 1.0 - u)
    elif kind == 30:
        def big_fat(i, u):
            k = math.sin(4.0 * PI * u)
            base = 1.0 - u + 0.75 * u if k > 0.0 else 0.75 * u
            return base + 0.25 * math.cos(10.0 * PI * u) - 0.25 * math.sin(12.0 * PI * u)

        fill(table, big_fat)
        normalise(table)
        clamp(table)
        smooth(table)
    elif kind == 31:
        fill(table, lambda i, u: ((i % 4) - 1.5) * (1.0 - u) / 3.0 + u)
        normalise(table)
    elif kind == 34:
        fill(table, lambda i, u: 1.25 * math.sin(4.0 * PI * u) * (1.0 - u) + u,
             lambda i, u: 1.5 * math.sin(8.0 * PI * u) * sq(1.0 - u) + u)
        clamp(table)
    elif kind == 35:
        for i in range(h):
            u = i / h
            if u >= 0.5:
                continue  # the identity ramp stays on both sides
            p = 0.0 if u < 0.25 else u * math.sin(2.0 * PI * (u - 0.25))
            table[h + i] = p
            table[h - 1 - i] = -p
    else:
        raise ValueError(kind)


def hardcore_fuzz(tables):
    a = [[0.0] * 256 for _ in range(8)]
    sign = -1.0
    for k in range(256):
        u = k / 256
        a[0][k] = u + 0.25 * math.sin(PI * u) + 0.15 * abs(math.sin(10.0 * PI * u))
        a[1][k] = u + 0.2 * math.sin(PI * u) + 0.1 * abs(math.sin(4.0 * PI * u))
        a[2][k] = u + 0.25 * math.sin(PI * u) + 0.15 * abs(math.sin(6.0 * PI * u))
        a[3][k] = u + 0.2 * math.sin(PI * u) + 0.25 * abs(math.sin(8.0 * PI * u))
        if k % 42 == 0:
            sign = -sign
        e = (k % 42) / 42 * sign * 1.5 * (1.0 - u)
        a[4][k] = u - 0.2 * math.sin(PI * u) + e
        a[5][k] = u - 0.1 * math.sin(PI * u) + e
        f = (k % 64) / 64 * 1.75
        a[6][k] = u + 0.1 * math.sin(2.0 * PI * u) + f * (1.0 - u)
        a[7][k] = u + 0.2 * math.sin(2.0 * PI * u) + f * (1.0 - u)

    a0, a1, a2, a3 = a[0], a[1], a[2], a[3]
    for j in range(100):
        a1[55 + j] = a1[74]
        a0[55 + j] = a0[74] + 0.01 * j  # a0[74] is itself rewritten at j = 19
    for j in range(50):
        a1[5 + j] = 0.0
        a0[25 + j] = 0.01 * j
    for k in range(100, 117):
        a1[k] = 1.0
    for k in range(200, 217):
        a1[k] = 1.0
        a2[k] = 0.0
    for k in range(180, 197):
        a2[k] = a2[k] * 0.0
    for k in range(150, 200):
        a3[k] = 0.0
        a2[k] = 1.0
    for k in range(7, 44):
        a2[k] = 0.0
        a1[k] = 1.0
    for k in range(17, 54):
        a0[k] = a0[k] * 0.1
        a3[k] = 1.0

    def take(table, p, q):
        for k in range(256):
            table[256 + k] = p[k]
            table[255 - k] = -q[k]

    take(tables[16], a[1], a[2])
    clamp(tables[16])
    smooth(tables[16])
    take(tables[17], a[0], a[3])
    clamp(tables[17])
    smooth(tables[17])
    take(tables[18], a[4], a[5])
    normalise(tables[18])
    smooth(tables[18])
    take(tables[19], a[6], a[7])
    normalise(tables[19])
    smooth(tables[19])


def industrial_fuzz(table):
    w1, d1 = 0.0, 0.04321
    w2, d2 = 0.0, 0.001
    for k in range(256):
        u = k / 256
        if abs(w1) > 0.2:
            d1 = -d1
        s = -d2 if abs(w2) > 0.2 else d2
        w1 = w1 + d1
        w2 = w2 - s
        d1 = d1 - 0.021
        d2 = s - 0.002
        table[256 + k] = w1 + u
        table[255 - k] = -(w2 + u)
    for k in range(75, 175):
        table[256 + k] = table[256 + k] * 0.25
    for k in range(25, 75):
        table[255 - k] = -0.1 * table[255 - k]
    for k in range(100, 117):
        table[256 + k] = table[256 + k] * 0.25
    for k in range(200, 217):
        table[255 - k] = -0.25 * table[255 - k]
    clamp(table)


def grindmoth_fuzz(tables, rng):
    t1, t2, t3 = tables[25], tables[26], tables[27]
    h = 64
    t = 0.0
    s = 0.0
    for i in range(h):
        u = i / h
        e = 1.0 - u
        if i % 4 == 0:
            t = rng.value()
        if i % 2 == 0:
            s = rng.value()
        s = 0.4 * s + u
        t = 0.4 * t + u
        g = 0.5 * rng.value() + u
        if i < 6:
            t = t + 0.5 * math.sin(3.0 * PI * i / 6)
        if i < 8:
            s = s + 0.5 * sq(math.sin(2.0 * PI * i / 8))
        s = s * e
        g = g + 0.5 * math.sin(10.0 * PI * u) * e
        t1[h + i], t1[h - 1 - i] = t, -s
        t2[h + i], t2[h - 1 - i] = s, -g
        t3[h + i], t3[h - 1 - i] = g, -t
    for table in (t1, t2, t3):
        clamp(table)
        smooth(table)


def big_bad_drive(table, rng):
    h = 32
    for i in range(h):
        u = i / h
        r = rng.value()
        k = math.sin(4.0 * PI * u)
        p = k + u + 0.25 * math.sin(8.0 * PI * u) + 0.25 * r
        table[h + i] = p
        table[h - 1 - i] = -p
    normalise(table)
    clamp(table)
    smooth(table)


def ass_kicking(table):
    h = 70
    a = 0.5
    for i in range(h):
        u = i / h
        table[h + i] = u + 0.2 + (1.0 - u) * a
        table[h - 1 - i] = -(u + (1.0 - u) * a)
        if i % 7 == 0:
            a = -a
    normalise(table)


def tigers_blood(table):
    h = 80
    a = 0.0
    for i in range(h):
        u = i / h
        table[h + i] = (1.0 - u) * a + u
        table[h - 1 - i] = -(sq(1.0 - u) * a + u)
        if i == 4:
            a = 1.0
        elif i % 4 == 0:
            a = -a
    normalise(table)


def build_tables():
    tables = [new_table(SIZES.get(kind, 512)) for kind in range(36)]
    rng = Random(1500)
    for kind in range(36):
        if kind in (16, 17, 18, 19, 20, 25, 26, 27, 29, 32, 33):
            continue
        simple_curve(kind, tables[kind])
    hardcore_fuzz(tables)
    industrial_fuzz(tables[20])
    grindmoth_fuzz(tables, rng)
    big_bad_drive(tables[29], rng)
    ass_kicking(tables[32])
    tigers_blood(tables[33])
    return tables


# ---------------------------------------------------------------------------
# Consistency checks; any failure aborts before the file is written.


def check(tables):
    assert len(NAMES) == 36 and len(set(NAMES)) == 36
    for kind, table in enumerate(tables):
        assert len(table) == SIZES.get(kind, 512), kind
        for x in table:
            assert math.isfinite(x), kind
    # Curves with a clamp or normalise as their last pass stay within [-1, 1].
    for kind in (16, 17, 20, 31, 32, 33, 34):
        assert max(abs(x) for x in tables[kind]) <= 1.0, kind
    for kind in (31, 32, 33):
        assert max(abs(x) for x in tables[kind]) == 1.0, kind
    # Untouched curves: exact identities.
    assert tables[0][256:] == [i / 256 for i in range(256)]
    assert tables[14][256] == 0.0 and tables[14][257] == 0.0 and tables[14][258] == 1.0
    assert tables[35][384:] == [2.0 * i / 512 - 1.0 for i in range(384, 512)]
    assert tables[35][:128] == [2.0 * i / 512 - 1.0 for i in range(128)]
    # The generator's first outputs from seed 1500.
    rng = Random(1500)
    first = [rng.output() for _ in range(3)]
    state = 1500
    for x in first:
        state = (state * 214013 + 2531011) & 0xFFFFFFFF
        assert x == (state >> 16) & 0x7FFF


# ---------------------------------------------------------------------------
# Output


def selected_indices(kind, n):
    if kind in FULLY_WRITTEN:
        return list(range(n))
    h = n // 2
    chosen = {0, 1, 2, h - 2, h - 1, h, h + 1, h + 2, n - 3, n - 2, n - 1}
    step = n // 16
    for m in range(16):
        base = m * n // 16
        chosen.add(base)
        chosen.add(min(base + (2 * m + 1) % step, n - 1))
    return sorted(chosen)


def number(x):
    if not math.isfinite(x):
        raise ValueError('non-finite value')
    return repr(float(x))


def format_curve(kind, table):
    n = len(table)
    items = ['{%d, %s}' % (i, number(table[i])) for i in selected_indices(kind, n)]
    lines = [', '.join(items[i:i + 4]) for i in range(0, len(items), 4)]
    out = ['    {%d, "%s", %d, {' % (kind, NAMES[kind], n)]
    out.append('        ' + ',\n        '.join(lines) + '}},')
    return '\n'.join(out)


HEADER = """\
// Generated by tools/distortion_reference/generate_distortion_reference.py
// (python3, standard library only). Do not edit by hand; rerun the generator
// instead.
//
// One record per distortion type, in type order: index, display name, table
// size and (index, value) pairs of the curve table. GrindMoth-Fuzz 1 to 3 and
// Big-Bad-Drive, which depend on the seeded random draws, are complete.

#include "effects/distortion_reference.h"

// clang-format off
const std::vector<CurveReference> kCurveReferences = {
"""

FOOTER = """\
};
// clang-format on
"""


def main(argv):
    output = argv[1] if len(argv) > 1 else DEFAULT_OUTPUT
    if os.path.isdir(output):
        output = os.path.join(output, OUTPUT_NAME)
    tables = build_tables()
    check(tables)
    text = HEADER + '\n'.join(format_curve(k, t) for k, t in enumerate(tables)) + '\n' + FOOTER
    with open(output, 'w', encoding='ascii', newline='\n') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
