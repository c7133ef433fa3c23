#!/usr/bin/env python3
"""Measures a raw recording (signed 16-bit little-endian, interleaved) of a sound server's
monitor: its RMS level (0..1 of full scale) and, over the part that is not silent, the
frequency of its tone from zero crossings of the first channel.

usage: tone_check.py FILE [--rate 44100] [--channels 2] [--bursts]
prints: rms=R freq=F active_seconds=S gap_ms=G
with --bursts: bursts=N, the number of separate sounds (sound parted by over 150 ms of silence)
(G is the longest run of near-silence inside the active part: a dropout.)
"""
import argparse
import array
import math
import sys


def main():
    p = argparse.ArgumentParser()
    p.add_argument("file")
    p.add_argument("--rate", type=int, default=44100)
    p.add_argument("--channels", type=int, default=2)
    p.add_argument("--bursts", action="store_true")
    a = p.parse_args()
    data = array.array("h")
    with open(a.file, "rb") as f:
        raw = f.read()
    raw = raw[: len(raw) - len(raw) % (2 * a.channels)]
    data.frombytes(raw)
    if sys.byteorder != "little":
        data.byteswap()
    first = data[:: a.channels]
    if not first:
        print("rms=0 freq=0 active_seconds=0 gap_ms=0")
        return
    # Active part: from the first to the last sample above 1% of full scale.
    threshold = 327
    idx = [i for i, v in enumerate(first) if abs(v) > threshold]
    if a.bursts:
        quiet = int(0.15 * a.rate)
        bursts = (1 if idx else 0) + sum(1 for c, b in zip(idx, idx[1:]) if b - c > quiet)
        print(f"bursts={bursts}")
        return
    if not idx:
        rms = math.sqrt(sum(v * v for v in first) / len(first)) / 32768.0
        print(f"rms={rms:.5f} freq=0 active_seconds=0 gap_ms=0")
        return
    lo, hi = idx[0], idx[-1]
    active = first[lo : hi + 1]
    rms = math.sqrt(sum(v * v for v in active) / len(active)) / 32768.0
    # Upward zero crossings, interpolated between samples; the median interval between them
    # is the period (robust against a dropout), the longest interval beyond a period a gap.
    ups = []
    for i in range(1, len(active)):
        x0, x1 = active[i - 1], active[i]
        if x0 < 0 <= x1:
            ups.append(i - 1 + (-x0) / (x1 - x0))
    seconds = len(active) / a.rate
    if len(ups) < 3:
        print(f"rms={rms:.5f} freq=0 active_seconds={seconds:.3f} gap_ms=0")
        return
    intervals = sorted(b - c for c, b in zip(ups, ups[1:]))
    period = intervals[len(intervals) // 2]
    freq = a.rate / period
    gap = max(0.0, intervals[-1] - period)
    print(f"rms={rms:.5f} freq={freq:.1f} active_seconds={seconds:.3f} gap_ms={1000.0 * gap / a.rate:.1f}")


if __name__ == "__main__":
    main()
