#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_frames into corpus/ (run from anywhere).

Each file is one fuzz input: a first byte choosing the delivery chunk size (0 = one byte
at a time), then the bytes on the line. Frames are encoded with the charger's pair values:
whole part and hundredths, each biased by 128.
"""
import pathlib
import random

OUT = pathlib.Path(__file__).resolve().parent / "corpus"


def frame(length):
    b = bytearray([128] * length)
    b[0], b[-1] = ord("{"), ord("}")
    return b


def pair(b, pos, hundredths):
    whole, frac = int(hundredths / 100), hundredths - int(hundredths / 100) * 100
    b[pos], b[pos + 1] = 128 + whole, 128 + frac


def block(b, base, mode, type_code, cells):
    b[base + 1], b[base + 2] = 128 + mode, 128 + type_code
    cap = 1234
    b[base + 6:base + 9] = bytes([128 + cap // 10000, 128 + cap // 100 % 100, 128 + cap % 100])
    pair(b, base + 11, 205)
    pair(b, base + 15, 1237)
    pair(b, base + 17, 25)
    for k in range(1, cells + 1):
        pair(b, base + 17 + 2 * k, 400 + k)


def frame36(mode=2, type_code=0):
    b = frame(36)
    block(b, 0, mode, type_code, 8)
    pair(b, 4, 1200)
    return bytes(b)


def frame76(mode=1, type_code=2):
    b = frame(76)
    b[8], b[23] = 128 + mode, 128 + type_code
    for pos, value in ((33, 150), (35, 840), (37, 30), (39, 41), (41, 1190), (43, 987)):
        pair(b, pos, value)
    for k in range(1, 13):
        pair(b, 43 + 2 * k, 420 - k)
    return bytes(b)


def frame112(mode1=2, mode2=1):
    b = frame(112)
    block(b, 0, mode1, 0, 12)
    block(b, 54, mode2, 4, 12)
    pair(b, 4, 1200)
    return bytes(b)


def noise(rng, n):
    return bytes(rng.choice([c for c in range(256) if c != ord("{")]) for _ in range(n))


def main():
    rng = random.Random(7)
    tail = bytes(224)  # the line goes on, so the last frame gets read
    seeds = {
        "frame36": b"\0" + frame36() + frame36(mode=1) + tail,
        "frame36_inactive": b"\0" + frame36(mode=0) + frame36(mode=3) + tail,
        "frame76": b"\0" + frame76() + frame76(mode=0, type_code=4) + tail,
        "frame112": b"\0" + frame112() + frame112(0, 2) + frame112(1, 0) + frame112(2, 3) + tail,
        "truncated": b"\0" + frame112()[:60] + frame36()[:20] + frame76() + tail,
        "markers_misplaced": b"\x05" + frame76()[:35] + b"}" + frame76()[36:] + tail,
        "noise": b"\x11" + noise(rng, 300),
        "all_braces": b"\x03" + b"{" * 200 + b"}" * 200,
        "mixed_stream": b"\0" + noise(rng, 7) + frame36() + frame112() + noise(rng, 3)
        + frame76() + frame112(0, 2) + noise(rng, 1) + frame36(mode=0) + tail,
        "big_chunks": b"\x80" + (frame112() + frame36() + frame76()) * 4 + tail,
    }
    OUT.mkdir(exist_ok=True)
    for name, data in seeds.items():
        (OUT / name).write_bytes(data)


if __name__ == "__main__":
    main()
