#!/usr/bin/env python3
"""Makes the light HRTF data set: OpenAL Soft's MinPHR02 data with every
impulse response cut to a few taps.

The renderer's cost per sample grows with the filter length, and the filters
are minimum phase, so their energy sits at the start: a short head with a
faded end keeps the level and the coarse spectrum of each direction. The
per-direction delays are kept as they are, so the interaural delay stays.

usage: make_light_hrtf.py SOURCE.mhr OUTPUT.mhr TAPS
"""
import struct
import sys

MAGIC = b"MinPHR02"
SAMPLE_BYTES = {0: 2, 1: 3}  # 16-bit, 24-bit little-endian
CHANNELS = {0: 1, 1: 2}  # left ear only (the right is mirrored), both ears
FADE_TAPS = 3


class FormatError(Exception):
    pass


def read_layout(data):
    """Returns (header bytes, sample bytes, channels, taps, responses)."""
    if data[:8] != MAGIC:
        raise FormatError("not a MinPHR02 data set")
    sample_type, channel_type, taps, fields = struct.unpack_from("<BBBB", data, 12)
    if sample_type not in SAMPLE_BYTES or channel_type not in CHANNELS or fields < 1:
        raise FormatError("unknown sample or channel type")
    pos = 16
    responses = 0
    for _ in range(fields):
        _distance, elevations = struct.unpack_from("<HB", data, pos)
        pos += 3
        responses += sum(data[pos:pos + elevations])
        pos += elevations
    return pos, SAMPLE_BYTES[sample_type], CHANNELS[channel_type], taps, responses


def shorten(sample, index, kept, width):
    """One coefficient of the shortened response, faded over its last taps."""
    if index >= kept:
        return None
    fade_from = kept - FADE_TAPS
    if index < fade_from:
        return sample
    value = int.from_bytes(sample, "little", signed=True)
    value = round(value * (kept - index) / (FADE_TAPS + 1))
    return value.to_bytes(width, "little", signed=True)


def make_light(data, kept):
    header_end, width, channels, taps, responses = read_layout(data)
    if kept < 8 or kept % 8 != 0 or kept >= taps:
        raise FormatError(f"cannot cut {taps} taps to {kept}")
    response_bytes = taps * channels * width
    delays_start = header_end + responses * response_bytes
    if len(data) != delays_start + responses * channels:
        raise FormatError("size does not match the header")
    out = bytearray(data[:header_end])
    out[14] = kept
    for r in range(responses):
        base = header_end + r * response_bytes
        for tap in range(taps):
            for channel in range(channels):
                at = base + (tap * channels + channel) * width
                sample = shorten(data[at:at + width], tap, kept, width)
                if sample is not None:
                    out += sample
    out += data[delays_start:]
    return bytes(out)


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        with open(argv[1], "rb") as source:
            light = make_light(source.read(), int(argv[3]))
    except (OSError, ValueError, FormatError, struct.error) as error:
        print(f"make_light_hrtf: {argv[1]}: {error}", file=sys.stderr)
        return 1
    with open(argv[2], "wb") as output:
        output.write(light)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
