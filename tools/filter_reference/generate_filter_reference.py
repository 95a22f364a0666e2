#!/usr/bin/python3
"""Writes tests/dsp/filter_reference_data.cpp, the reference responses of the
filter designs, computed independently of our C++ code with numpy and scipy.

Usage: generate_filter_reference.py [OUTPUT_FILE]

Without an argument the data file in the source tree is rewritten. Run it with
Debian's /usr/bin/python3 (python3-numpy, python3-scipy); repeated runs write
identical bytes, and nothing is printed on success.

Every design is a digital IIR filter derived from an analog prototype
normalised to 1 rad/s. The prototype is moved to the prewarped frequencies
(w = 2 fs tan(pi f / fs)) in the analog domain and then mapped to the z-plane
with the bilinear transform. The designs, by the name stored in `design`:

  ButterworthLowPass    butter(N, fc, 'lowpass')
  ButterworthHighPass   butter(N, fc, 'highpass')
  ButterworthBandPass   butter(N, [fc - bw/2, fc + bw/2], 'bandpass'), order 2N
  ButterworthBandStop   butter(N, [fc - bw/2, fc + bw/2], 'bandstop'), order 2N
  ChebyshevLowPass      cheby1(N, ripple, fc, 'lowpass'), fc = ripple band edge
  ChebyshevHighPass     cheby1(N, ripple, fc, 'highpass')
  ButterworthLowShelf   shelf prototype, lp2lp; G dB at DC, 0 dB at Nyquist
  ButterworthHighShelf  shelf prototype, lp2hp; G dB at Nyquist, 0 dB at DC
  ButterworthBandShelf  shelf prototype, lp2bp on fc -/+ bw/2; G dB at the
                        centre, 0 dB at DC and Nyquist
  RbjLowPass            cookbook biquads, a0 normalised to 1, order field 0
  RbjHighPass
  RbjBandPass1          constant skirt gain, peak gain q
  RbjBandStop

The Butterworth shelf prototype of order N and gain G dB, with
g = (10^(G/20))^(1/(2N)), has for k = 1 .. N/2 the conjugate pole pair
-(1/g) e^(+-j theta_k) and the conjugate zero pair -g e^(+-j theta_k),
theta_k = pi (1/2 - (2k - 1)/(2N)); odd N adds the real pole -1/g and the real
zero -g. Its gain is 1, so |H(j inf)| = 1 and |H(0)| = 10^(G/20). After the
transforms the gain is rescaled so that |H| is exactly 1 at the reference
point: Nyquist for the low shelf, DC for the high shelf, and for the band
shelf DC when fc/fs > 0.25, else Nyquist.

For each case the file holds the digital poles and zeros (sorted by real,
then imaginary part), |H| and arg H at a fixed set of frequencies plus the
design frequencies, and the first 64 samples of the impulse response
(sosfilt on the zpk2sos form; lfilter on b, a for the biquads).

arg H is reported in (-pi, pi]. At DC and Nyquist H is real, and the tiny
imaginary rounding residue is dropped there so that the sign of the phase
is well defined. Where |H| < 1e-9 (on or next to a zero) the phase carries
no information and is written as 0.
"""

import math
import os
import sys

import numpy as np
from scipy import signal

IMPULSE_LENGTH = 64
PHASE_MAGNITUDE_FLOOR = 1e-9
BASE_FREQUENCIES = (0.0, 0.001, 0.01, 0.05, 0.1, 0.2, 0.3, 0.4, 0.45, 0.5)

DEFAULT_OUTPUT = os.path.normpath(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'dsp',
                 'filter_reference_data.cpp'))


# ---------------------------------------------------------------------------
# Designs


def prewarp(f, fs):
    return 2.0 * fs * math.tan(math.pi * f / fs)


def shelf_prototype(order, gain_db):
    g = (10.0 ** (gain_db / 20.0)) ** (1.0 / (2 * order))
    poles = []
    zeros = []
    for k in range(1, order // 2 + 1):
        theta = math.pi * (0.5 - (2 * k - 1) / (2.0 * order))
        e = complex(math.cos(theta), math.sin(theta))
        poles += [-(1.0 / g) * e, -(1.0 / g) * e.conjugate()]
        zeros += [-g * e, -g * e.conjugate()]
    if order % 2 == 1:
        poles.append(complex(-1.0 / g, 0.0))
        zeros.append(complex(-g, 0.0))
    return np.array(zeros, dtype=complex), np.array(poles, dtype=complex), 1.0


def unit_point(f):
    """e^(j 2 pi f) with DC and Nyquist exact."""
    if f == 0.0:
        return complex(1.0, 0.0)
    if f == 0.5:
        return complex(-1.0, 0.0)
    w = 2.0 * math.pi * f
    return complex(math.cos(w), math.sin(w))


def evaluate(z, p, k, f):
    x = unit_point(f)
    h = complex(k, 0.0)
    for zero in z:
        h *= x - zero
    for pole in p:
        h /= x - pole
    return h


def shelf_design(kind, order, fs, fc, width, gain_db):
    z, p, k = shelf_prototype(order, gain_db)
    if kind == 'low':
        z, p, k = signal.lp2lp_zpk(z, p, k, wo=prewarp(fc, fs))
        reference = 0.5
    elif kind == 'high':
        z, p, k = signal.lp2hp_zpk(z, p, k, wo=prewarp(fc, fs))
        reference = 0.0
    else:
        w1 = prewarp(fc - width / 2.0, fs)
        w2 = prewarp(fc + width / 2.0, fs)
        z, p, k = signal.lp2bp_zpk(z, p, k, wo=math.sqrt(w1 * w2), bw=w2 - w1)
        reference = 0.0 if fc / fs > 0.25 else 0.5
    z, p, k = signal.bilinear_zpk(z, p, k, fs)
    k = k / abs(evaluate(z, p, k, reference))
    return z, p, k


def rbj_coefficients(kind, fs, fc, q):
    w0 = 2.0 * math.pi * fc / fs
    sn = math.sin(w0)
    cs = math.cos(w0)
    alpha = sn / (2.0 * q)
    a = [1.0 + alpha, -2.0 * cs, 1.0 - alpha]
    if kind == 'RbjLowPass':
        b = [(1.0 - cs) / 2.0, 1.0 - cs, (1.0 - cs) / 2.0]
    elif kind == 'RbjHighPass':
        b = [(1.0 + cs) / 2.0, -(1.0 + cs), (1.0 + cs) / 2.0]
    elif kind == 'RbjBandPass1':
        b = [sn / 2.0, 0.0, -sn / 2.0]
    elif kind == 'RbjBandStop':
        b = [1.0, -2.0 * cs, 1.0]
    else:
        raise ValueError(kind)
    a0 = a[0]
    return np.array(b) / a0, np.array(a) / a0


def rbj_roots(kind, fs, fc, q):
    """Zeros and poles of the cookbook biquads in closed form.

    These are the roots of b and a; written out because np.roots loses
    about four digits on the pole and zero pairs close to z = 1. The poles
    are (cos w0 +- sin w0 sqrt(1/(4 q^2) - 1)) / (1 + alpha).
    """
    w0 = 2.0 * math.pi * fc / fs
    sn = math.sin(w0)
    cs = math.cos(w0)
    alpha = sn / (2.0 * q)
    d = 1.0 / (4.0 * q * q) - 1.0
    if d < 0.0:
        offset = complex(0.0, sn * math.sqrt(-d))
    else:
        offset = complex(sn * math.sqrt(d), 0.0)
    poles = [(cs + offset) / (1.0 + alpha), (cs - offset) / (1.0 + alpha)]
    if kind == 'RbjLowPass':
        zeros = [-1.0, -1.0]
    elif kind == 'RbjHighPass':
        zeros = [1.0, 1.0]
    elif kind == 'RbjBandPass1':
        zeros = [1.0, -1.0]
    elif kind == 'RbjBandStop':
        zeros = [complex(cs, sn), complex(cs, -sn)]
    else:
        raise ValueError(kind)
    return np.array(zeros, dtype=complex), np.array(poles, dtype=complex)


class Case:
    def __init__(self, design, order, fs, fc, width=0.0, gain_db=0.0, ripple_db=0.0, q=0.0):
        self.design = design
        self.order = order
        self.fs = float(fs)
        self.fc = float(fc)
        self.width = float(width)
        self.gain_db = float(gain_db)
        self.ripple_db = float(ripple_db)
        self.q = float(q)
        self.ba = None
        self.z, self.p, self.k = self._design()

    def _design(self):
        d, n, fs, fc = self.design, self.order, self.fs, self.fc
        edges = [fc - self.width / 2.0, fc + self.width / 2.0]
        if d in ('ButterworthLowPass', 'ButterworthHighPass'):
            btype = 'lowpass' if d.endswith('LowPass') else 'highpass'
            return signal.butter(n, fc, btype, fs=fs, output='zpk')
        if d in ('ButterworthBandPass', 'ButterworthBandStop'):
            btype = 'bandpass' if d.endswith('BandPass') else 'bandstop'
            return signal.butter(n, edges, btype, fs=fs, output='zpk')
        if d in ('ChebyshevLowPass', 'ChebyshevHighPass'):
            btype = 'lowpass' if d.endswith('LowPass') else 'highpass'
            return signal.cheby1(n, self.ripple_db, fc, btype, fs=fs, output='zpk')
        if d == 'ButterworthLowShelf':
            return shelf_design('low', n, fs, fc, 0.0, self.gain_db)
        if d == 'ButterworthHighShelf':
            return shelf_design('high', n, fs, fc, 0.0, self.gain_db)
        if d == 'ButterworthBandShelf':
            return shelf_design('band', n, fs, fc, self.width, self.gain_db)
        if d.startswith('Rbj'):
            b, a = rbj_coefficients(d, fs, fc, self.q)
            self.ba = (b, a)
            z, p = rbj_roots(d, fs, fc, self.q)
            return z, p, b[0]
        raise ValueError(d)

    def is_band(self):
        return self.width > 0.0

    def frequencies(self):
        fs = set(BASE_FREQUENCIES)
        fs.add(self.fc / self.fs)
        if self.is_band():
            fs.add((self.fc - self.width / 2.0) / self.fs)
            fs.add((self.fc + self.width / 2.0) / self.fs)
        return sorted(fs)

    def response(self, f):
        h = evaluate(self.z, self.p, self.k, f)
        if f in (0.0, 0.5):
            h = complex(h.real, 0.0)
        magnitude = abs(h)
        if magnitude < PHASE_MAGNITUDE_FLOOR:
            phase = 0.0
        else:
            phase = math.atan2(h.imag, h.real)
            if phase <= -math.pi:
                phase = math.pi
        return magnitude, phase

    def impulse(self):
        x = np.zeros(IMPULSE_LENGTH)
        x[0] = 1.0
        if self.ba is not None:
            return signal.lfilter(self.ba[0], self.ba[1], x)
        return signal.sosfilt(signal.zpk2sos(self.z, self.p, self.k), x)


def build_cases():
    cases = []
    add = cases.append

    for fs, n, fc in ((44100, 1, 1000), (44100, 2, 50), (48000, 3, 8000), (48000, 4, 20000),
                      (96000, 2, 20000), (22050, 4, 1000)):
        add(Case('ButterworthLowPass', n, fs, fc))
    for fs, n, fc in ((44100, 1, 50), (44100, 2, 1000), (48000, 3, 20000), (48000, 4, 8000),
                      (22050, 2, 8000)):
        add(Case('ButterworthHighPass', n, fs, fc))

    for fs, n, fc, bw in ((44100, 1, 1500, 1000), (48000, 2, 200, 100), (44100, 2, 6000, 3000),
                          (96000, 1, 200, 100)):
        add(Case('ButterworthBandPass', n, fs, fc, width=bw))
    for fs, n, fc, bw in ((44100, 1, 200, 100), (48000, 2, 1500, 1000), (22050, 2, 6000, 3000)):
        add(Case('ButterworthBandStop', n, fs, fc, width=bw))

    for fs, n, rp, fc in ((44100, 2, 0.01, 2000), (48000, 4, 1, 100), (44100, 4, 6, 15000),
                          (96000, 2, 12, 2000), (48000, 3, 1, 1000)):
        add(Case('ChebyshevLowPass', n, fs, fc, ripple_db=rp))
    for fs, n, rp, fc in ((44100, 2, 1, 100), (48000, 4, 0.01, 2000), (44100, 2, 12, 15000),
                          (22050, 4, 6, 2000)):
        add(Case('ChebyshevHighPass', n, fs, fc, ripple_db=rp))

    for fs, n, g, fc in ((44100, 1, -24, 100), (44100, 2, 6, 1000), (48000, 1, 24, 10000),
                         (48000, 2, -6, 100), (96000, 3, 12, 1000)):
        add(Case('ButterworthLowShelf', n, fs, fc, gain_db=g))
    for fs, n, g, fc in ((44100, 1, 6, 1000), (44100, 2, -24, 10000), (48000, 2, 24, 100),
                         (22050, 1, -6, 1000)):
        add(Case('ButterworthHighShelf', n, fs, fc, gain_db=g))
    for fs, n, g, fc, bw in ((44100, 1, 6, 1000, 500), (48000, 2, -24, 100, 50),
                             (44100, 2, 24, 10000, 3000), (22050, 1, -6, 7000, 2000),
                             (96000, 2, 6, 1500, 1000)):
        add(Case('ButterworthBandShelf', n, fs, fc, width=bw, gain_db=g))

    for fs, fc, q in ((44100, 100, 0.7071), (48000, 1000, 0.0625), (44100, 10000, 4),
                      (96000, 1000, 16)):
        add(Case('RbjLowPass', 0, fs, fc, q=q))
    for fs, fc, q in ((44100, 100, 1), (48000, 1000, 16), (44100, 10000, 0.7071)):
        add(Case('RbjHighPass', 0, fs, fc, q=q))
    for fs, fc, q in ((44100, 1000, 4), (48000, 100, 0.0625), (22050, 10000, 1)):
        add(Case('RbjBandPass1', 0, fs, fc, q=q))
    for fs, fc, q in ((44100, 1000, 0.7071), (48000, 10000, 16), (96000, 100, 4)):
        add(Case('RbjBandStop', 0, fs, fc, q=q))
    return cases


# ---------------------------------------------------------------------------
# Consistency checks; any failure aborts before the file is written.


def close(a, b, tol):
    return abs(a - b) <= tol * max(1.0, abs(b))


def require(condition, case, what):
    if not condition:
        raise AssertionError('%s order %d fs %r fc %r: %s'
                             % (case.design, case.order, case.fs, case.fc, what))


def check(case):
    d = case.design
    mag = lambda f: case.response(f)[0]
    gain = 10.0 ** (case.gain_db / 20.0)
    fs, fc = case.fs, case.fc

    require(all(abs(p) < 1.0 for p in case.p), case, 'unstable pole')
    require(len(case.z) == len(case.p), case, 'zero and pole counts differ')
    expected_count = 2 if d.startswith('Rbj') else case.order * (2 if case.is_band() else 1)
    require(len(case.p) == expected_count, case, 'unexpected order')

    # Closed-form biquad roots against numpy's.
    if case.ba is not None:
        for mine, theirs in ((case.z, np.roots(case.ba[0])), (case.p, np.roots(case.ba[1]))):
            for r in theirs:
                require(min(abs(r - m) for m in mine) < 1e-6, case, 'biquad roots')

    # Our own evaluation against scipy's.
    fr = np.array(case.frequencies())
    _, h = signal.freqz_zpk(case.z, case.p, case.k, worN=2.0 * np.pi * fr)
    for f, hs in zip(fr, h):
        require(close(mag(f), abs(hs), 1e-9), case, 'freqz_zpk disagrees at %r' % f)

    # Impulse response against direct-form filtering.
    b, a = signal.zpk2tf(case.z, case.p, case.k)
    x = np.zeros(IMPULSE_LENGTH)
    x[0] = 1.0
    require(np.allclose(case.impulse(), signal.lfilter(np.real(b), np.real(a), x),
                        rtol=1e-6, atol=1e-9), case, 'impulse response')

    # Digital centre of the band designs: the prewarped geometric centre.
    if case.is_band():
        w1 = prewarp(fc - case.width / 2.0, fs)
        w2 = prewarp(fc + case.width / 2.0, fs)
        centre = math.atan(math.sqrt(w1 * w2) / (2.0 * fs)) / math.pi

    if d in ('ButterworthLowPass', 'ChebyshevLowPass', 'ButterworthBandStop'):
        if not d.startswith('Chebyshev'):
            require(close(mag(0.0), 1.0, 1e-9), case, 'DC gain')
    if d in ('ButterworthHighPass', 'ButterworthBandStop'):
        require(close(mag(0.5), 1.0, 1e-9), case, 'Nyquist gain')
    if d in ('ButterworthLowPass', 'ButterworthHighPass'):
        require(close(mag(fc / fs), math.sqrt(0.5), 1e-9), case, '-3 dB at the cutoff')
    if d == 'ButterworthBandPass':
        require(close(mag(centre), 1.0, 1e-9), case, 'unit gain at the centre')
        require(abs(mag(fc / fs) - 1.0) < 0.05, case, 'about unit gain at fc')
        for edge in (fc - case.width / 2.0, fc + case.width / 2.0):
            require(close(mag(edge / fs), math.sqrt(0.5), 1e-9), case, '-3 dB at the edges')
    if d == 'ButterworthBandStop':
        require(mag(centre) < 1e-6, case, 'notch at the centre')
    if d.startswith('Chebyshev'):
        rp = 10.0 ** (-case.ripple_db / 20.0)
        passband = 0.0 if d.endswith('LowPass') else 0.5
        expected = rp if case.order % 2 == 0 else 1.0
        require(close(mag(passband), expected, 1e-9), case, 'pass band gain')
        require(close(mag(fc / fs), rp, 1e-9), case, 'ripple at the band edge')
    if d == 'ButterworthLowShelf':
        require(close(mag(0.0), gain, 1e-9), case, 'shelf gain at DC')
        require(close(mag(0.5), 1.0, 1e-12), case, 'unit gain at Nyquist')
        require(close(mag(fc / fs), math.sqrt(gain), 1e-9), case, 'half gain (dB) at fc')
    if d == 'ButterworthHighShelf':
        require(close(mag(0.5), gain, 1e-9), case, 'shelf gain at Nyquist')
        require(close(mag(0.0), 1.0, 1e-12), case, 'unit gain at DC')
        require(close(mag(fc / fs), math.sqrt(gain), 1e-9), case, 'half gain (dB) at fc')
    if d == 'ButterworthBandShelf':
        require(close(mag(centre), gain, 1e-9), case, 'shelf gain at the centre')
        require(close(mag(0.0), 1.0, 1e-9), case, 'unit gain at DC')
        require(close(mag(0.5), 1.0, 1e-9), case, 'unit gain at Nyquist')
        for edge in (fc - case.width / 2.0, fc + case.width / 2.0):
            require(close(mag(edge / fs), math.sqrt(gain), 1e-9), case, 'half gain at the edges')
    if d == 'RbjLowPass':
        require(close(mag(0.0), 1.0, 1e-12), case, 'DC gain')
        require(close(mag(fc / fs), case.q, 1e-9), case, 'gain q at fc')
    if d == 'RbjHighPass':
        require(close(mag(0.5), 1.0, 1e-12), case, 'Nyquist gain')
        require(close(mag(fc / fs), case.q, 1e-9), case, 'gain q at fc')
    if d == 'RbjBandPass1':
        require(close(mag(fc / fs), case.q, 1e-9), case, 'peak gain q')
    if d == 'RbjBandStop':
        require(mag(fc / fs) < 1e-9, case, 'notch at fc')
        require(close(mag(0.0), 1.0, 1e-12), case, 'DC gain')


# ---------------------------------------------------------------------------
# Output


def number(x):
    x = float(x)
    if not math.isfinite(x):
        raise ValueError('non-finite value')
    if x == 0.0:
        x = 0.0  # no negative zeros in the file
    return repr(x)


def sorted_roots(roots):
    return sorted((complex(r) for r in roots), key=lambda c: (c.real, c.imag))


def complex_list(roots):
    return '{' + ', '.join('{%s, %s}' % (number(c.real), number(c.imag))
                           for c in sorted_roots(roots)) + '}'


def real_list(values, per_line, indent):
    items = [number(v) for v in values]
    if len(items) <= per_line:
        return '{' + ', '.join(items) + '}'
    lines = [', '.join(items[i:i + per_line]) for i in range(0, len(items), per_line)]
    pad = ' ' * (indent + 4)
    return '{\n' + pad + (',\n' + pad).join(lines) + '}'


def format_case(case):
    freqs = case.frequencies()
    responses = [case.response(f) for f in freqs]
    out = []
    out.append('    {"%s", %d, %s, %s, %s, %s, %s, %s,'
               % (case.design, case.order, number(case.fs), number(case.fc), number(case.width),
                  number(case.gain_db), number(case.ripple_db), number(case.q)))
    out.append('        ' + complex_list(case.p) + ',')
    out.append('        ' + complex_list(case.z) + ',')
    out.append('        ' + real_list(freqs, 4, 8) + ',')
    out.append('        ' + real_list([m for m, _ in responses], 4, 8) + ',')
    out.append('        ' + real_list([p for _, p in responses], 4, 8) + ',')
    out.append('        ' + real_list(case.impulse(), 4, 8) + '},')
    return '\n'.join(out)


HEADER = """\
// Generated by tools/filter_reference/generate_filter_reference.py with
// Debian's python3-scipy. Do not edit by hand; rerun the generator instead.
//
// The phase is 0 where |H| < 1e-9, and H is taken as real at DC and Nyquist.

#include "dsp/filter_reference.h"

// clang-format off
const std::vector<FilterReferenceCase> kFilterReferenceCases = {
"""

FOOTER = """\
};
// clang-format on
"""


def main(argv):
    output = argv[1] if len(argv) > 1 else DEFAULT_OUTPUT
    cases = build_cases()
    for case in cases:
        check(case)
    text = HEADER + '\n'.join(format_case(c) for c in cases) + '\n' + FOOTER
    with open(output, 'w', encoding='ascii', newline='\n') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
