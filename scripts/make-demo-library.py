#!/usr/bin/env python3
"""Writes a small demo sample library into a folder.

    python3 scripts/make-demo-library.py FOLDER

The library holds a few folders of short synthesised one-shots and loops with known
tempos in their names (AIFF, AIFF-C and WAVE at 22,050, 44,100 and 48,000 Hz), plus the
odd files a browser must cope with: a text file, an audio file without an extension,
a text file named like an MP3, a folder whose name has spaces and non-ASCII letters, and
hidden files. Every loop holds a whole number of beats, so its tempo can be checked:
"Funk Beat.aif" is 8 beats at 120 BPM, exactly 4.0 seconds of 44.1 kHz stereo 16-bit.

Uses only the Python standard library and is deterministic. Does nothing when FOLDER
already holds the marker file written at the end of a complete run.
"""

import math
import os
import random
import struct
import sys
from array import array

MARKER = ".soundrake-demo-library"


# ---------------------------------------------------------------- file writers

def extended80(value):
    """An IEEE 754 80-bit extended float, big-endian, as AIFF stores its sample rate."""
    if value <= 0:
        return bytes(10)
    mantissa, exponent = math.frexp(value)  # value = mantissa * 2**exponent, mantissa in [0.5, 1)
    return struct.pack(">HQ", exponent - 1 + 16383, int(mantissa * (1 << 64)))


def to_pcm16(channels_data):
    """Interleaves per-channel float lists (-1..1) into native-order signed 16-bit samples."""
    frames = len(channels_data[0])
    out = array("h", bytes(2 * frames * len(channels_data)))
    n = len(channels_data)
    for c, samples in enumerate(channels_data):
        for i, s in enumerate(samples):
            v = int(round(s * 32767.0))
            out[i * n + c] = 32767 if v > 32767 else (-32768 if v < -32768 else v)
    return out


def pcm_bytes(pcm, big_endian):
    data = array("h", pcm)
    if (sys.byteorder == "little") == big_endian:
        data.byteswap()
    return data.tobytes()


def chunk(ck_id, body, big_endian):
    size = struct.pack(">I" if big_endian else "<I", len(body))
    pad = b"\0" if len(body) % 2 else b""
    return ck_id + size + body + pad


def write_aiff(path, rate, channels_data, aifc=False):
    channels = len(channels_data)
    frames = len(channels_data[0])
    data = pcm_bytes(to_pcm16(channels_data), big_endian=True)
    comm = struct.pack(">hIh", channels, frames, 16) + extended80(rate)
    chunks = b""
    if aifc:
        name = b"not compressed"
        pstring = bytes([len(name)]) + name
        if len(pstring) % 2:
            pstring += b"\0"
        comm += b"NONE" + pstring
        chunks += chunk(b"FVER", struct.pack(">I", 0xA2805140), True)  # AIFF-C version 1
    chunks += chunk(b"COMM", comm, True)
    chunks += chunk(b"SSND", struct.pack(">II", 0, 0) + data, True)
    form_type = b"AIFC" if aifc else b"AIFF"
    write_file(path, b"FORM" + struct.pack(">I", 4 + len(chunks)) + form_type + chunks)


def write_wave(path, rate, channels_data):
    channels = len(channels_data)
    data = pcm_bytes(to_pcm16(channels_data), big_endian=False)
    block_align = channels * 2
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * block_align, block_align, 16)
    chunks = chunk(b"fmt ", fmt, False) + chunk(b"data", data, False)
    write_file(path, b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks)


def write_file(path, content):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + ".part"
    mode = "w" if isinstance(content, str) else "wb"
    with open(tmp, mode, **({"encoding": "utf-8"} if mode == "w" else {})) as f:
        f.write(content)
    os.replace(tmp, path)


# ---------------------------------------------------------------- synthesis

class Synth:
    def __init__(self, rate, seed):
        self.rate = rate
        self.rng = random.Random(seed)

    def frames(self, seconds):
        return int(round(seconds * self.rate))

    def kick(self, seconds=0.45, start_hz=150.0, end_hz=45.0, sweep=30.0, decay=7.0):
        """A sine whose pitch falls quickly from start_hz to end_hz, with a fast decay."""
        out = []
        phase = 0.0
        for i in range(self.frames(seconds)):
            t = i / self.rate
            freq = end_hz + (start_hz - end_hz) * math.exp(-t * sweep)
            phase += 2.0 * math.pi * freq / self.rate
            click = 0.3 * math.exp(-t * 400.0)
            out.append((math.sin(phase) + click) * math.exp(-t * decay) * 0.75)
        return out

    def snare(self, seconds=0.3, tone_hz=185.0):
        """A noise burst over a short tone."""
        out = []
        lp = 0.0
        for i in range(self.frames(seconds)):
            t = i / self.rate
            noise = self.rng.uniform(-1.0, 1.0)
            lp += 0.6 * (noise - lp)  # soften the very top a little
            tone = math.sin(2.0 * math.pi * tone_hz * t) * math.exp(-t * 25.0)
            out.append((0.65 * lp * math.exp(-t * 16.0) + 0.35 * tone) * 0.9)
        return out

    def hat(self, seconds=0.08, decay=60.0):
        """High-passed noise (a first difference) with a short decay."""
        out = []
        prev = 0.0
        for i in range(self.frames(seconds)):
            t = i / self.rate
            noise = self.rng.uniform(-1.0, 1.0)
            out.append((noise - prev) * 0.5 * math.exp(-t * decay) * 0.6)
            prev = noise
        return out

    def saw_note(self, hz, seconds, cutoff=0.08):
        """A sawtooth through a one-pole low-pass, with attack, decay and release."""
        out = []
        phase = 0.0
        lp = 0.0
        n = self.frames(seconds)
        release = self.frames(0.03)
        for i in range(n):
            t = i / self.rate
            phase = (phase + hz / self.rate) % 1.0
            saw = 2.0 * phase - 1.0
            lp += cutoff * (saw - lp)
            env = min(1.0, t / 0.005) * (0.55 + 0.45 * math.exp(-t * 8.0))
            if i > n - release:
                env *= (n - i) / release
            out.append(lp * env * 0.8)
        return out

    def pad(self, seconds, hz=(220.0, 277.18, 329.63)):
        """Slightly detuned sines with a slow swell."""
        out = []
        n = self.frames(seconds)
        for i in range(n):
            t = i / self.rate
            v = 0.0
            for k, f in enumerate(hz):
                v += math.sin(2.0 * math.pi * f * t) + math.sin(2.0 * math.pi * f * 1.003 * t + k)
            swell = math.sin(math.pi * i / n)
            out.append(v / (2 * len(hz)) * swell * 0.7)
        return out

    def rain(self, seconds):
        """Soft filtered noise with scattered drops."""
        out = []
        lp = 0.0
        drop = 0.0
        for _ in range(self.frames(seconds)):
            lp += 0.05 * (self.rng.uniform(-1.0, 1.0) - lp)
            if self.rng.random() < 30.0 / self.rate:
                drop = self.rng.uniform(0.2, 0.5)
            drop *= 0.995
            out.append(lp * 0.6 + drop * self.rng.uniform(-1.0, 1.0))
        return out


def normalise(channels_data, peak=0.89):
    """Scales a mix down so that its loudest sample reaches peak (never up)."""
    loudest = max(max(abs(x) for x in c) for c in channels_data)
    if loudest <= peak:
        return channels_data
    k = peak / loudest
    return [[x * k for x in c] for c in channels_data]


def mix(into, sound, at, gain=1.0):
    end = min(len(into), at + len(sound))
    for i in range(at, end):
        into[i] += sound[i - at] * gain


def drum_loop(s, bpm, beats, pattern, channels=2):
    """A loop of exactly `beats` beats; pattern maps a sixteenth-note step to hits."""
    frames = int(round(beats * 60.0 * s.rate / bpm))
    step = 60.0 * s.rate / bpm / 4.0
    kick, snare = s.kick(), s.snare()
    hat_closed, hat_open = s.hat(), s.hat(0.3, 12.0)
    left = [0.0] * frames
    right = [0.0] * frames
    for n in range(beats * 4):
        at = int(round(n * step))
        for hit in pattern(n % 16):
            sound, gain, pan = {
                "K": (kick, 0.9, 0.0),
                "S": (snare, 0.7, 0.1),
                "h": (hat_closed, 0.5, 0.35),
                "o": (hat_open, 0.4, 0.35),
            }[hit]
            mix(left, sound, at, gain * (1.0 - pan))
            mix(right, sound, at, gain * (1.0 + pan) * 0.9)
    if channels == 1:
        return normalise([[(a + b) * 0.5 for a, b in zip(left, right)]])
    return normalise([left, right])


def pattern_from(rows):
    """rows: {hit: 16-character string with 'x' on its steps}."""
    def hits(n):
        return [hit for hit, row in rows.items() if row[n] == "x"]
    return hits


FUNK = pattern_from({"K": "x..x..x...x.....", "S": "....x.......x...", "h": "x.x.x.x.x.x.x.xx", "o": "..............x."})
LAZY = pattern_from({"K": "x.......x.x.....", "S": "....x.......x...", "h": "x.x.x.x.x.x.x.x."})
SHUFFLE = pattern_from({"K": "x.....x...x.....", "S": "....x.......x..x", "h": "x..xx..xx..xx..x"})
BREAK = pattern_from({"K": "x.x.......xx....", "S": "....x..x.x..x...", "h": "xxxxxxxxxxxxxxxx"})


def bass_line(s, bpm, beats, notes):
    """One note per beat from `notes` (Hz), exactly `beats` beats long."""
    beat = int(round(60.0 * s.rate / bpm))
    total = int(round(beats * 60.0 * s.rate / bpm))
    out = [0.0] * total
    for b in range(beats):
        note = s.saw_note(notes[b % len(notes)], 0.9 * beat / s.rate)
        mix(out, note, b * beat)
    return [out]


# ---------------------------------------------------------------- the library

def build(root):
    s44 = Synth(44100, 1)
    s48 = Synth(48000, 2)
    s22 = Synth(22050, 3)
    j = lambda *parts: os.path.join(root, *parts)

    # One-shots (mono, 44.1 kHz).
    write_aiff(j("Drums", "Kicks", "Kick Deep.aif"), 44100, [s44.kick()])
    write_wave(j("Drums", "Kicks", "Kick Punch.wav"), 44100, [s44.kick(0.3, 220.0, 55.0, 45.0, 11.0)])
    write_aiff(j("Drums", "Snares", "Snare Tight.aif"), 44100, [s44.snare(0.25, 200.0)])
    write_wave(j("Drums", "Snares", "Snare Wide.wav"), 44100, [s44.snare(0.4, 170.0)])
    write_aiff(j("Drums", "Hats", "Hat Closed.aif"), 44100, [s44.hat()])
    write_wave(j("Drums", "Hats", "Hat Open.wav"), 44100, [s44.hat(0.4, 10.0)])
    # A hidden take: browsers skip names that begin with a dot.
    write_aiff(j("Drums", "Kicks", ".Kick Rejected.aif"), 44100, [s44.kick(0.2)])

    # Loops with their tempo known exactly.
    # 8 beats at 120 BPM = 4.0 s = 176,400 frames of 44.1 kHz stereo 16-bit.
    write_aiff(j("Drums", "Loops", "Funk Beat.aif"), 44100, drum_loop(s44, 120, 8, FUNK))
    # 8 beats at 90 BPM = 5.333 s = 235,200 frames, WAVE.
    write_wave(j("Drums", "Loops", "Lazy Groove 90 BPM.wav"), 44100, drum_loop(s44, 90, 8, LAZY))
    # 4 beats at 100 BPM = 2.4 s, mono, AIFF-C data under the usual .aif name.
    write_aiff(j("Drums", "Loops", "Shuffle 100 BPM.aif"), 44100, drum_loop(s44, 100, 4, SHUFFLE, 1), aifc=True)
    # AIFF data without an extension: playable only when the content is looked at.
    # 4 beats at 140 BPM = 75,600 frames.
    write_aiff(j("Drums", "Loops", "Break 140 BPM"), 44100, drum_loop(s44, 140, 4, BREAK, 1))

    # Bass: 8 beats at 120 BPM (4.0 s) and a 48 kHz line of 4 beats at 100 BPM (2.4 s).
    a1, c2, d2, e2, g1 = 55.0, 65.41, 73.42, 82.41, 49.0
    write_aiff(j("Bass", "Saw Bass 120 BPM.aif"), 44100, bass_line(s44, 120, 8, [a1, a1, c2, d2, e2, d2, c2, g1]))
    write_wave(j("Bass", "Sub Line 100 BPM 48k.wav"), 48000, bass_line(s48, 100, 4, [e2 / 2, e2 / 2, g1, a1]))

    # Textures: a 22,050 Hz mono pad and a 48 kHz stereo pad.
    write_aiff(j("Textures", "Air Pad 22k.aif"), 22050, [s22.pad(3.0)])
    write_wave(j("Textures", "Glass Pad 48k.wav"), 48000, [s48.pad(2.0, (440.0, 554.37)), s48.pad(2.0, (329.63, 659.26))])
    write_file(j("Textures", "notes.txt"),
               "Textures\n\nAir Pad 22k.aif: 22,050 Hz mono, 3 s.\nGlass Pad 48k.wav: 48 kHz stereo, 2 s.\n")

    # A folder whose name has spaces and letters outside ASCII.
    field = "Field Recordings – Café Ümlaut"
    write_wave(j(field, "Rain on Tin.wav"), 22050, [s22.rain(2.0)])
    write_aiff(j(field, "Grillen bei Nacht.aif"), 22050, [[0.3 * x for x in s22.hat(1.5, 1.5)]])

    # Files that are not what their names say.
    write_file(j("song.mp3"), "This is not an MP3 file: just text with an .mp3 name.\n")
    write_file(j("README.txt"),
               "Soundrake demo library\n\n"
               "Loops hold whole beats: Funk Beat.aif is 8 beats at 120 BPM (4.0 s).\n"
               "'Drums/Loops/Break 140 BPM' is AIFF data without an extension.\n"
               "song.mp3 is a text file.\n")
    write_file(j(".hidden-notes"), "hidden: not listed\n")


def main(argv):
    if len(argv) != 2:
        print("usage: make-demo-library.py FOLDER", file=sys.stderr)
        return 2
    root = os.path.abspath(argv[1])
    marker = os.path.join(root, MARKER)
    if os.path.exists(marker):
        print(root)
        return 0
    os.makedirs(root, exist_ok=True)
    build(root)
    write_file(marker, "Generated by scripts/make-demo-library.py\n")
    print(root)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
