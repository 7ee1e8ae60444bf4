#!/usr/bin/env python3
"""Per-segment loudness of a WAV capture written by ALSA's file plugin.

The null sink behind the capture runs faster than real time, so wall-clock
positions mean nothing; what the e2e suite can rely on is the *order* of
what was heard.  This tool cuts the capture into consecutive segments of N
frames and reports, per segment, the RMS of the left and right channel, or
(--summary) a run-length list of labels:

    L  left-dominant      R  right-dominant
    C  both sides alike   -  silent

    python3 capture_stats.py capture.wav 4800 --summary    ->  R*72
    python3 capture_stats.py capture.wav 4800 --labels     ->  R

Integer PCM (8/16/24/32-bit), IEEE float (32/64-bit) and
WAVE_FORMAT_EXTENSIBLE are read; 32-bit samples tagged as integers but
plainly floats (ALSA's file plugin does that) are read as floats.  Exit
status 2 when the capture cannot be read.

Python 3 standard library only: the suite must run on a bare machine.
"""

import argparse
import array
import json
import math
import signal
import struct
import sys

WAVE_FORMAT_PCM = 0x0001
WAVE_FORMAT_IEEE_FLOAT = 0x0003
WAVE_FORMAT_EXTENSIBLE = 0xFFFE


class CaptureError(Exception):
    pass


class Capture:
    """Decoded capture: left and right channels as floats in [-1, 1]."""

    def __init__(self, rate, channels, fmt_name, left, right, header_fmt=None):
        self.header_fmt = header_fmt or fmt_name
        self.rate = rate
        self.channels = channels
        self.fmt_name = fmt_name
        self.left = left
        self.right = right  # same object as left for mono captures

    def __len__(self):
        return len(self.left)


def _as_array(code, payload):
    a = array.array(code)
    if a.itemsize * 8 != {"f": 32, "d": 64, "h": 16, "i": 32}[code]:
        raise CaptureError("no native array type for '%s'" % code)
    a.frombytes(payload)
    if sys.byteorder != "little":
        a.byteswap()
    return a


def looks_like_float32(payload, limit=200000):
    """True if 32-bit samples are plainly IEEE floats in audio range.

    alsa-lib's file plugin (1.2.8) writes tag 1 (integer PCM) into the WAV
    header even when the stream is FLOAT_LE, which is what Wine plays.  Real
    int32 audio read as floats is mostly denormal-tiny (positive samples) or
    NaN/huge (negative ones), so a few percent of misfits rule float out.
    """
    a = _as_array("f", payload[:limit * 4])
    nonzero = plausible = 0
    for v in a:
        if v != 0.0:
            nonzero += 1
            if 1e-9 < abs(v) <= 8.0:
                plausible += 1
    return nonzero > 0 and plausible >= 0.99 * nonzero


def _decode(fmt_tag, bits, payload, force=None):
    """Interleaved samples of the payload as floats, plus a format name."""
    if force == "float32" or (fmt_tag == WAVE_FORMAT_IEEE_FLOAT and bits == 32):
        return _as_array("f", payload), "float32"
    if fmt_tag == WAVE_FORMAT_IEEE_FLOAT and bits == 64:
        return _as_array("d", payload), "float64"
    if fmt_tag == WAVE_FORMAT_PCM:
        if bits == 16:
            return [v / 32768.0 for v in _as_array("h", payload)], "int16"
        if bits == 32:
            return [v / 2147483648.0 for v in _as_array("i", payload)], "int32"
        if bits == 8:
            return [(b - 128) / 128.0 for b in payload], "uint8"
        if bits == 24:
            out = []
            for i in range(0, len(payload), 3):
                v = payload[i] | (payload[i + 1] << 8) | (payload[i + 2] << 16)
                out.append((v - 0x1000000 if v & 0x800000 else v) / 8388608.0)
            return out, "int24"
    raise CaptureError("unsupported sample format: tag 0x%04x, %d bits" % (fmt_tag, bits))


def read_wav(path, sample_format="auto"):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 12 or data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise CaptureError("%s: not a RIFF/WAVE file" % path)

    fmt = None
    payload = None
    pos = 12
    while pos + 8 <= len(data):
        cid = data[pos:pos + 4]
        size = struct.unpack_from("<I", data, pos + 4)[0]
        body = pos + 8
        if cid == b"fmt ":
            fmt = data[body:body + size]
        elif cid == b"data":
            # A writer killed before closing the pcm never patches the size
            # (it stays 0 or 0xffffffff): take everything up to EOF then.
            end = body + size
            if size == 0 or size == 0xFFFFFFFF or end > len(data):
                end = len(data)
            payload = data[body:end]
            break
        pos = body + size + (size & 1)
    if fmt is None or len(fmt) < 16:
        raise CaptureError("%s: no fmt chunk" % path)
    if payload is None:
        raise CaptureError("%s: no data chunk" % path)

    tag, channels, rate, _byterate, block_align, bits = struct.unpack_from("<HHIIHH", fmt, 0)
    if tag == WAVE_FORMAT_EXTENSIBLE:
        if len(fmt) < 40:
            raise CaptureError("%s: truncated WAVE_FORMAT_EXTENSIBLE header" % path)
        # The first two bytes of the sub-format GUID carry the classic tag.
        tag = struct.unpack_from("<H", fmt, 24)[0]
    if channels < 1 or bits % 8:
        raise CaptureError("%s: bad layout (%d channels, %d bits)" % (path, channels, bits))
    if block_align != bits // 8 * channels:
        raise CaptureError("%s: block align %d does not match %d x %d bits"
                           % (path, block_align, channels, bits))
    nframes = len(payload) // block_align
    payload = payload[:nframes * block_align]
    force = None
    if sample_format == "auto":
        if tag == WAVE_FORMAT_PCM and bits == 32 and looks_like_float32(payload):
            force = "float32"
    elif sample_format == "float32":
        if bits != 32:
            raise CaptureError("%s: --sample-format float32 on %d-bit samples" % (path, bits))
        force = "float32"
    else:  # "header": trust the header
        pass
    samples, fmt_name = _decode(tag, bits, payload, force)
    left = samples[0::channels]
    right = left if channels == 1 else samples[1::channels]
    header_fmt = {WAVE_FORMAT_PCM: "int%d" % bits,
                  WAVE_FORMAT_IEEE_FLOAT: "float%d" % bits}.get(tag, "tag%d" % tag)
    return Capture(rate, channels, fmt_name, left, right, header_fmt)


def _rms(seq):
    return math.sqrt(math.fsum(v * v for v in seq) / len(seq)) if len(seq) else 0.0


def segment_rms(capture, seg_frames):
    """RMS of (left, right) for each run of seg_frames frames.

    A trailing partial segment is kept: the tail of a capture is often the
    part that matters (what was playing when the program stopped).
    Mono captures report the same value on both sides.
    """
    out = []
    for start in range(0, len(capture), seg_frames):
        rl = _rms(capture.left[start:start + seg_frames])
        rr = _rms(capture.right[start:start + seg_frames])
        if not (math.isfinite(rl) and math.isfinite(rr)):
            raise CaptureError("non-finite samples in segment starting at frame %d" % start)
        out.append((start, min(seg_frames, len(capture) - start), rl, rr))
    return out


def label(rl, rr, silence, ratio):
    if max(rl, rr) < silence:
        return "-"
    if rl > rr * ratio:
        return "L"
    if rr > rl * ratio:
        return "R"
    return "C"


def run_length(labels):
    runs = []
    for lab in labels:
        if runs and runs[-1][0] == lab:
            runs[-1][1] += 1
        else:
            runs.append([lab, 1])
    return runs


def db(x):
    return -math.inf if x <= 0 else 20.0 * math.log10(x)


def main(argv=None):
    if hasattr(signal, "SIGPIPE"):  # quiet when piped into head
        signal.signal(signal.SIGPIPE, signal.SIG_DFL)
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("wav", help="capture file")
    ap.add_argument("frames", type=int, nargs="?", default=4410,
                    help="frames per segment (default 4410)")
    ap.add_argument("--summary", action="store_true",
                    help="print run-length compressed labels, e.g. 'R*12 -*3'")
    ap.add_argument("--labels", action="store_true",
                    help="print only the ordered distinct runs, e.g. 'R -'")
    ap.add_argument("--json", action="store_true", help="machine-readable output")
    ap.add_argument("--sample-format", choices=("auto", "header", "float32"), default="auto",
                    help="32-bit samples tagged as integer PCM: 'auto' detects floats "
                         "(ALSA's file plugin mislabels them), 'header' trusts the tag, "
                         "'float32' forces floats")
    ap.add_argument("--silence", type=float, default=1e-3,
                    help="RMS below which a segment is silent (default 1e-3, -60 dBFS)")
    ap.add_argument("--ratio", type=float, default=1.5,
                    help="louder/quieter RMS ratio that makes a side dominant (default 1.5)")
    ap.add_argument("--min-run", type=int, default=1,
                    help="drop runs shorter than this many segments before summarising")
    args = ap.parse_args(argv)

    if args.frames <= 0:
        ap.error("frames must be positive")
    if args.ratio < 1.0:
        ap.error("ratio must be >= 1")

    try:
        cap = read_wav(args.wav, args.sample_format)
    except (OSError, CaptureError) as e:
        print("capture_stats: %s" % e, file=sys.stderr)
        return 2

    segs = segment_rms(cap, args.frames) if len(cap) else []
    labels = [label(rl, rr, args.silence, args.ratio) for _, _, rl, rr in segs]
    runs = [r for r in run_length(labels) if r[1] >= args.min_run]
    # Dropping short runs can leave neighbours with the same label: merge them.
    merged = []
    for lab, n in runs:
        if merged and merged[-1][0] == lab:
            merged[-1][1] += n
        else:
            merged.append([lab, n])

    if args.json:
        json.dump({
            "rate": cap.rate, "channels": cap.channels, "format": cap.fmt_name,
            "header_format": cap.header_fmt,
            "frames": len(cap), "segment_frames": args.frames,
            "segments": [{"start": s, "frames": n, "rms_l": rl, "rms_r": rr, "label": lab}
                         for (s, n, rl, rr), lab in zip(segs, labels)],
            "runs": merged,
        }, sys.stdout)
        print()
    elif args.labels:
        print(" ".join(lab for lab, _ in merged))
    elif args.summary:
        print(" ".join("%s*%d" % (lab, n) for lab, n in merged))
    else:
        print("# %s rate=%d channels=%d format=%s (header: %s) frames=%d segment=%d"
              % (args.wav, cap.rate, cap.channels, cap.fmt_name, cap.header_fmt,
                 len(cap), args.frames))
        print("# seg start_frame rms_l rms_r dB_l dB_r label")
        for i, ((s, n, rl, rr), lab) in enumerate(zip(segs, labels)):
            print("%d %d %.6f %.6f %.1f %.1f %s" % (i, s, rl, rr, db(rl), db(rr), lab))
    return 0


if __name__ == "__main__":
    sys.exit(main())
