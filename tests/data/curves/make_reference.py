#!/usr/bin/env python3
"""Independent reference responses for the curve tests.

Written straight from the filter formulas with Python's complex arithmetic:
each part is evaluated as H(z) = (b0 + b1 z^-1 + b2 z^-2) / (a0 + a1 z^-1 + a2 z^-2)
at z = e^{jw}, without any of the shortcuts the C++ code takes (no pre-normalised
coefficients, no real/imaginary split, no product of magnitudes before the log).

Run from anywhere:  python3 tests/data/curves/make_reference.py
It reads the frequency grid from src/core/state/scales.cpp and writes
reference_responses.txt next to itself. Not part of the build.
"""
import cmath
import math
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))

EVAL_ANGLE = 6.544984583333334e-05   # radians per hertz at the grid frequencies
DESIGN_ANGLE = 6.544985e-05          # radians per hertz for the design frequency


def read_grid():
    text = open(os.path.join(ROOT, "src", "core", "state", "scales.cpp")).read()
    body = re.search(r"FrequencyTable\s*=\s*\{(.*?)\};", text, re.S).group(1)
    grid = [float(v) for v in re.findall(r"[0-9.]+", body)]
    assert len(grid) == 276 and grid[150] == 1000.0
    return grid


GRID = read_grid()


def nearest_index(f):
    for i, g in enumerate(GRID):
        if g >= f:
            if i == 0:
                return 0
            return i if g - f <= f - GRID[i - 1] else i - 1
    return len(GRID) - 1


def part_db(coeffs, w):
    b0, b1, b2, a0, a1, a2 = coeffs
    zi = cmath.exp(-1j * w)
    h = (b0 + b1 * zi + b2 * zi * zi) / (a0 + a1 * zi + a2 * zi * zi)
    return 20.0 * math.log10(abs(h))


def response(parts):
    out = []
    for f in GRID:
        w = f * EVAL_ANGLE
        out.append(sum(part_db(p, w) for p in parts))
    return out


# ---- EQ bands -------------------------------------------------------------
def peaking(freq, gain_code, width_code):
    g = gain_code * 0.1 - 60
    if gain_code == 600:
        return []
    n = 0.05 + 0.01 * width_code
    w0 = GRID[nearest_index(freq)] * DESIGN_ANGLE
    a = 10 ** (g * 0.025)
    alpha = math.sin(w0) * math.sinh(0.69314718 * n * w0 / math.sin(w0))
    return [(1 + alpha * a, -2 * math.cos(w0), 1 - alpha * a,
             1 + alpha / a, -2 * math.cos(w0), 1 - alpha / a)]


SHELF_SCALE = {(1, 0): (2.0, 0.5), (1, 1): (1.2727272727, 1.05),
               (2, 0): (0.4545454546, 0.5), (2, 1): (0.76923076923, 1.05)}


def shelf(eq_type, slope, freq, gain_code):
    if gain_code == 600:
        return []
    g = gain_code * 0.1 - 60
    scale, s = SHELF_SCALE[(eq_type, slope)]
    w0 = freq * DESIGN_ANGLE * scale
    a = 10 ** (g * 0.025)
    cw = math.cos(w0)
    alpha = math.sin(w0) / 2 * math.sqrt((a + 1 / a) * (1 / s - 1) + 2)
    b = 2 * math.sqrt(a) * alpha
    if eq_type == 1:
        return [(a * ((a + 1) - (a - 1) * cw + b), 2 * a * ((a - 1) - (a + 1) * cw),
                 a * ((a + 1) - (a - 1) * cw - b),
                 (a + 1) + (a - 1) * cw + b, -2 * ((a - 1) + (a + 1) * cw), (a + 1) + (a - 1) * cw - b)]
    return [(a * ((a + 1) + (a - 1) * cw + b), -2 * a * ((a - 1) + (a + 1) * cw),
             a * ((a + 1) + (a - 1) * cw - b),
             (a + 1) - (a - 1) * cw + b, 2 * ((a - 1) - (a + 1) * cw), (a + 1) - (a - 1) * cw - b)]


# ---- Crossover sections ---------------------------------------------------
# (first part is first-order?, design values) by slope code 0..6
LR = [(False, [1.0]), (True, [1.0, 0.70422535211]), (False, [0.70422535211, 0.70422535211]),
      (True, [1.0, 0.62, 0.62]), (False, [1.0, 0.5, 0.5]),
      (True, [1.0, 0.453134315, 0.92592592593, 0.453134315]),
      (False, [0.92592592593, 0.373134315, 0.92592592593, 0.373134315])]
BUTTERWORTH = [(False, [0.70422535]), (True, [1.0, 0.5]), (False, [0.92592593, 0.38167939]),
               (True, [1.0, 0.8064616129, 0.3086417953]),
               (False, [0.96153846, 0.70422535211, 0.2590673575]),
               (True, [1.0, 0.90909090909, 0.625, 0.2222222222]),
               (False, [0.98039126, 0.83333333, 0.55555556, 0.1953125])]
BESSEL_HP = [(0.7884500000492191, False, [0.70422535]),
             (0.7779085520363211, True, [0.756, 0.72463768]),
             (0.6663814541159675, False, [0.96153846, 0.61728395]),
             (0.7217620638369094, True, [0.6656, 0.8928571428, 0.54347826]),
             (0.6428808698542708, False, [0.980392156, 0.819672131, 0.490196]),
             (0.6428808698542708, True, [0.5937, 0.943396226415, 0.757575757576, 0.4424778761]),
             (0.5955500000163478, False, [0.98039216, 0.89285714, 0.70422535, 0.40650406])]
BESSEL_LP = [(0.7344008870701411, [(1.0, 0.3333333333)]),
             (0.569582353655112, [(0.5693712514, 0.154812441), (0.430628846, 0)]),
             (0.47305531898128694, [(0.369, 0.087858766), (0.6278294896, 0.109408)]),
             (1.0, [(0.6656, 0), (1.1402, 0.4128), (0.6216, 0.3245)]),
             (1.0, [(1.2217, 0.3887), (0.9686, 0.3505), (0.5131, 0.2756)]),
             (1.0, [(0.5937, 0), (1.0944, 0.3395), (0.8304, 0.3011), (0.4332, 0.2381)]),
             (0.31450326416745467, [(0.117235677, 0.02064747), (0.226516664, 0.0259273886),
                                    (0.3067559, 0.0294683265), (0.3494916166, 0.031272257)])]


def second_order(high_pass, w0, d):
    s = math.sin(w0) * d
    c = math.cos(w0)
    a0 = 1 + s
    if a0 == 0:
        a0 = 1e-10
    if high_pass:
        return ((1 + c) / 2, -(1 + c), (1 + c) / 2, a0, -2 * c, 1 - s)
    return ((1 - c) / 2, 1 - c, (1 - c) / 2, a0, -2 * c, 1 - s)


def first_order(high_pass, w0, d):
    k = math.tan(w0 / 2)
    if high_pass:
        return (1.0, -1.0, 0.0, k * d + 1, k * d - 1, 0.0)
    return (k, k, 0.0, k + d, k - d, 0.0)


def crossover(high_pass, xo_type, slope, freq):
    if xo_type == 6 or (high_pass and freq == 10) or (not high_pass and freq == 30000):
        return []
    if xo_type == 1 and not high_pass:
        factor, pq = BESSEL_LP[slope]
        k = math.tan(freq * factor * DESIGN_ANGLE / 2)
        return [(k * k, 2 * k * k, k * k, p * k + q + k * k, 2 * k * k - 2 * q, k * k - p * k + q)
                for p, q in pq]
    if xo_type == 1:
        factor, odd, ds = BESSEL_HP[slope]
    else:
        factor = 1.0
        odd, ds = (LR if xo_type == 0 else BUTTERWORTH)[slope]
    w0 = freq * factor * DESIGN_ANGLE
    parts = []
    for i, d in enumerate(ds):
        parts.append(first_order(high_pass, w0, d) if odd and i == 0 else second_order(high_pass, w0, d))
    return parts


# label, kind, frequency, gain code, width code, shelf slope, crossover type, crossover slope
DESIGNS = [
    ("peq_1000_plus12_w25", 0, 1000, 720, 25, 0, 0, 0),
    ("peq_63_minus6_w95", 0, 63, 540, 95, 0, 0, 0),
    ("peq_15000_plus3_w0", 0, 15000, 630, 0, 0, 0, 0),
    ("peq_440_minus30_w295", 0, 440, 300, 295, 0, 0, 0),
    ("lshelf_6_200_plus9", 1, 200, 690, 0, 0, 0, 0),
    ("lshelf_12_200_plus9", 1, 200, 690, 0, 1, 0, 0),
    ("hshelf_6_5000_minus12", 2, 5000, 480, 0, 0, 0, 0),
    ("hshelf_12_5000_minus12", 2, 5000, 480, 0, 1, 0, 0),
]
for xo_type, name in ((0, "lr"), (1, "bessel"), (2, "butt")):
    for slope in range(7):
        DESIGNS.append(("hp_%s_%d_%d" % (name, 12 + 6 * slope, 300 + 100 * slope), 3,
                        300 + 100 * slope, 0, 0, 0, xo_type, slope))
        DESIGNS.append(("lp_%s_%d_%d" % (name, 12 + 6 * slope, 1500 + 1000 * slope), 4,
                        1500 + 1000 * slope, 0, 0, 0, xo_type, slope))


def design_parts(kind, freq, gain, width, shelf_slope, xo_type, xo_slope):
    if kind == 0:
        return peaking(freq, gain, width)
    if kind in (1, 2):
        return shelf(kind, shelf_slope, freq, gain)
    return crossover(kind == 3, xo_type, xo_slope, freq)


def main():
    path = os.path.join(HERE, "reference_responses.txt")
    with open(path, "w") as out:
        out.write("# Generated by make_reference.py. One design per line:\n")
        out.write("# label kind freq gain_code width_code shelf_slope xo_type xo_slope, then 276 dB values\n")
        for label, *params in DESIGNS:
            values = response(design_parts(*params))
            out.write(" ".join([label] + [str(p) for p in params] + ["%.13g" % v for v in values]) + "\n")
    print("wrote %d designs to %s" % (len(DESIGNS), path))


if __name__ == "__main__":
    main()
