#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The viewer's Gaussian shrink worked out sample by sample, as the viewer's description gives it,
into shrink.txt (the committed expectations of tests/viewer/shrink_test.cpp).

For every source entry i (from 1): t = i / 2 rounded up; sigma = sigma(i) in single precision;
x runs from i - 3 sigma to i + 3 sigma in single-precision steps of 0.1 (the end included when
reached); each sample round(count / (sigma * sqrt(6.283184)) * exp(-((x - i) / sigma)^2 / 2)) is
added to entry round(t + x - i) when that entry exists. Sigma, 3 sigma, the ends of x and t + x - i
are single-precision numbers like x itself; the samples are worked out in double precision.
Rounding is to the nearest, halves to even. The shrunk spectrum has round(n / 2) entries.

File layout, one case after another:
  case NAME
  resolution constant|linear|quadratic A B C
  channels N
  in ENTRY COUNT        (the source's counts that are not 0)
  entries M
  out ENTRY COUNT       (the shrunk counts that are not 0)

  tests/data/shrink/make_shrink.py            writes shrink.txt beside this script
  tests/data/shrink/make_shrink.py --check    fails when shrink.txt differs from it
"""
import math
import os
import struct
import sys


def f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def sigma_at(kind, a, b, c, i):
    if kind == "constant":
        return f32(a)
    if kind == "linear":
        return f32(a * i + b)
    return f32(math.sqrt(a * i * i + b * i + c))


def shrink(counts, kind, a, b, c):
    n = len(counts)
    out = [0] * round(n / 2)
    step = f32(0.1)
    for i in range(1, n + 1):
        sigma = sigma_at(kind, f32(a), f32(b), f32(c), i)
        t = (i + 1) // 2
        spread = f32(3 * sigma)
        x, end = f32(i - spread), f32(i + spread)
        peak = counts[i - 1] / (sigma * math.sqrt(6.283184))
        while x <= end:
            k = round(f32(f32(t + x) - i))
            if 1 <= k <= len(out):
                d = (x - i) / sigma
                out[k - 1] += round(peak * math.exp(-d * d / 2))
            x = f32(x + step)
    return out


def pseudo_random(n):
    return [(c * 7919) % 3001 + (40000 if c % 97 == 0 else 0) for c in range(n)]


def one_peak(n, entry, count):
    counts = [0] * n
    counts[entry - 1] = count
    return counts


CASES = [
    # A single channel of 1000 counts at entry 101: about 9975 counts around entry 51.
    ("peak", "constant", 1, 0, 0, one_peak(200, 101, 1000)),
    # Far up the spectrum the single-precision steps of x are coarser.
    ("high_peak", "constant", 1, 0, 0, one_peak(16010, 16001, 1000)),
    # One count: every sample is below one half.
    ("one_count", "constant", 1, 0, 0, one_peak(4, 3, 1)),
    ("wide", "constant", 25, 0, 0, pseudo_random(601)),
    ("odd_width", "constant", 7.3, 0, 0, pseudo_random(600)),
    ("linear", "linear", 0.02, 3, 0, pseudo_random(600)),
    ("quadratic", "quadratic", 0.0001, 0.02, 4, pseudo_random(600)),
]


def text():
    lines = []
    for name, kind, a, b, c, counts in CASES:
        out = shrink(counts, kind, a, b, c)
        lines += [f"case {name}", f"resolution {kind} {a!r} {b!r} {c!r}", f"channels {len(counts)}"]
        lines += [f"in {i + 1} {v}" for i, v in enumerate(counts) if v]
        lines.append(f"entries {len(out)}")
        lines += [f"out {k + 1} {v}" for k, v in enumerate(out) if v]
    return "\n".join(lines) + "\n"


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "shrink.txt")
    made = text()
    if "--check" in sys.argv[1:]:
        with open(path, encoding="ascii") as f:
            if f.read() != made:
                sys.exit(f"{path} differs from what {sys.argv[0]} makes")
        return
    with open(path, "w", encoding="ascii") as f:
        f.write(made)


if __name__ == "__main__":
    main()
