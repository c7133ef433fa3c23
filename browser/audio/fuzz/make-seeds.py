#!/usr/bin/env python3
"""Writes the fuzz seed corpus: tiny AIFF, AIFF-C and WAVE (RIFF, extensible, RF64) files.

    python3 make-seeds.py [FOLDER]      (default: the seeds folder beside this script)

Each file is a valid container of a few hundred bytes with a handful of sample frames,
covering the chunk layouts the header reader meets: odd-sized chunks with pad bytes, an
SSND offset, a compressed AIFF-C type, WAVE_FORMAT_EXTENSIBLE, IEEE float with a fact
chunk, and RF64 with its ds64 sizes.
"""

import math
import os
import struct
import sys


def extended80(value):
    mantissa, exponent = math.frexp(value)
    return struct.pack(">HQ", exponent - 1 + 16383, int(mantissa * (1 << 64)))


def chunk(ck_id, body, big_endian):
    pad = b"\0" if len(body) % 2 else b""
    return ck_id + struct.pack(">I" if big_endian else "<I", len(body)) + body + pad


def samples(n):
    return bytes((i * 37 + 11) & 0xFF for i in range(n))


def aiff(rate, channels, frames, extra=(), ssnd_offset=0, aifc=None):
    comm = struct.pack(">hIh", channels, frames, 16) + extended80(rate)
    body = b""
    if aifc is not None:
        comm += aifc + b"\0\0"
        body += chunk(b"FVER", struct.pack(">I", 0xA2805140), True)
    for ck_id, ck_body in extra:
        body += chunk(ck_id, ck_body, True)
    body += chunk(b"COMM", comm, True)
    body += chunk(b"SSND", struct.pack(">II", ssnd_offset, 0) + bytes(ssnd_offset) + samples(frames * channels * 2), True)
    return b"FORM" + struct.pack(">I", 4 + len(body)) + (b"AIFC" if aifc else b"AIFF") + body


def wave(rate, channels, frames, bits=16, tag=1, extensible=False, extra=(), rf64=False):
    align = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 0xFFFE if extensible else tag, channels, rate, rate * align, align, bits)
    if extensible:
        guid_tail = bytes.fromhex("000000001000800000aa00389b71")
        fmt += struct.pack("<HHI", 22, bits, 3 if channels == 2 else 4) + struct.pack("<H", tag) + guid_tail
    data = samples(frames * align)
    body = b""
    for ck_id, ck_body in extra:
        body += chunk(ck_id, ck_body, False)
    body += chunk(b"fmt ", fmt, False)
    if tag == 3:
        body += chunk(b"fact", struct.pack("<I", frames), False)
    if rf64:
        data_chunk = b"data" + struct.pack("<I", 0xFFFFFFFF) + data + (b"\0" if len(data) % 2 else b"")
        riff_size = 4 + 36 + len(body) + len(data_chunk)
        ds64 = chunk(b"ds64", struct.pack("<QQQI", riff_size, len(data), frames, 0), False)
        return b"RF64" + struct.pack("<I", 0xFFFFFFFF) + b"WAVE" + ds64 + body + data_chunk
    body += chunk(b"data", data, False)
    return b"RIFF" + struct.pack("<I", 4 + len(body)) + b"WAVE" + body


SEEDS = {
    "aiff-16-stereo.aif": aiff(44100, 2, 20),
    "aiff-anno-odd.aif": aiff(22050, 1, 21, extra=[(b"ANNO", b"odd!!")]),
    "aiff-ssnd-offset.aif": aiff(48000, 1, 16, ssnd_offset=4),
    "aiff-mac-rate.aif": aiff(22254.545454545454, 1, 12),
    "aifc-none.aif": aiff(44100, 2, 16, aifc=b"NONE"),
    "aifc-ulaw.aif": aiff(8000, 1, 30, aifc=b"ulaw"),
    "wave-16-stereo.wav": wave(44100, 2, 20),
    "wave-8-mono-list.wav": wave(11025, 1, 33, bits=8, extra=[(b"LIST", b"INFOabc")]),
    "wave-float.wav": wave(48000, 1, 10, bits=32, tag=3),
    "wave-extensible-24.wav": wave(96000, 2, 8, bits=24, extensible=True),
    "rf64-16.wav": wave(44100, 2, 12, rf64=True),
}


def main(argv):
    folder = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
    os.makedirs(folder, exist_ok=True)
    for name, content in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
