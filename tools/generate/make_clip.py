#!/usr/bin/env python3
"""Generate resources/clip.raw, the looping sound that sound3d plays.

Output: 22,444 signed 16-bit little-endian mono samples at 22,050 Hz, no
header. The sound is a helicopter-like rotor thump over hiss with a few
clicks: broadband on purpose, since a pure tone is hard to place in 3D.

The clip loops, so every part of it is circular: periodic components fit a
whole number of cycles into the clip, noise is filtered with wrap-around,
and the clicks stay clear of the ends. The last sample therefore runs into
the first like any other pair of neighbours.

Output must be identical on every run and machine (a test compares it byte
for byte), so noise comes from our own xorshift32 and is filtered in exact
integer arithmetic; the only libm calls are cos/exp of small arguments.

Usage: python3 tools/generate/make_clip.py [OUTPUT_PATH]
"""
import math
import pathlib
import struct
import sys

RATE = 22050
N = 22444                      # samples in the loop
PEAK = 22900                   # just under -3 dBFS (23197)
ROTOR_PULSES = 6               # blade thumps per loop, about 5.9 Hz
HUM_CYCLES = 81                # low drone under the thump, about 80 Hz
CLICKS = 11


class XorShift32:
    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def sample(self):
        """Integer noise in [-32768, 32767]."""
        return (self.next() >> 16) - 32768


def box(x, width):
    """Circular moving sum over `width` samples (centred); exact on ints."""
    n = len(x)
    half = width // 2
    acc = sum(x[(i - half) % n] for i in range(width))
    out = [0] * n
    for i in range(n):
        out[i] = acc
        acc += x[(i + width - half) % n] - x[(i - half) % n]
    return out


def cycle(k, i):
    """cos of k whole cycles over the loop, phase reduced exactly first."""
    return math.cos(2.0 * math.pi * ((k * i) % N) / N)


def make_clip():
    rng = XorShift32(0x50D3D)
    white = [rng.sample() for _ in range(N)]

    # Two box passes give a triangular low-pass (first null ~920 Hz) for the
    # rotor's body; a two-sample sum is hiss that rolls off only near the top.
    low = box(box(white, 24), 24)                     # gain 576
    hiss = box(white, 2)                              # gain 2

    out = []
    for i in range(N):
        # Thump envelope: sharp peaks between quiet troughs; trough at i=0
        # so the loop point sits in the quietest part.
        e = (1.0 - cycle(ROTOR_PULSES, i)) * 0.5
        thump = e * e * e * e * e * e                 # e**6 without libm pow
        hum = cycle(HUM_CYCLES, i)
        swell = 0.75 + 0.25 * cycle(2, i)             # slow hiss drift
        v = thump * (3.0 * low[i] / 576.0 + 0.15 * 32768.0 * hum)
        v += swell * (0.2 + 0.5 * thump) * hiss[i] / 2.0
        out.append(v)

    # Clicks: short decaying noise bursts, spaced unevenly and kept off the
    # loop point so it stays in a quiet stretch.
    for c in range(CLICKS):
        start = (c * N) // CLICKS + 400 + rng.next() % 1200
        amp = 0.5 + 0.3 * (rng.next() % 1000) / 1000.0
        for t in range(80):
            out[start + t] += amp * math.exp(-t / 7.0) * rng.sample()

    scale = PEAK / max(abs(v) for v in out)
    return [int(round(v * scale)) for v in out]


def main(argv):
    if len(argv) > 1:
        path = pathlib.Path(argv[1])
    else:
        root = pathlib.Path(__file__).resolve().parents[2]
        path = root / "resources" / "clip.raw"
    samples = make_clip()
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(struct.pack("<%dh" % N, *samples))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
