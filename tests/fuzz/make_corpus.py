#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_frames into corpus/ (run from anywhere).

Each file is one fuzz input: a first byte choosing the delivery chunk size (0 = one byte
at a time), then the bytes on the line. Frames hold the charger's codes and pair values
(whole part and hundredths), each byte biased by 128.
"""
import pathlib
import random


def frame(length, codes=(), pairs=()):
    """Bytes of a frame with (position, code) and (position, hundredths) set."""
    b = bytearray([128] * length)
    b[0], b[-1] = ord("{"), ord("}")
    for pos, code in codes:
        b[pos] = 128 + code
    for pos, hundredths in pairs:
        whole = int(hundredths / 100)
        b[pos], b[pos + 1] = 128 + whole, 128 + hundredths - whole * 100
    return bytes(b)


def block(base, mode, type_code, cells):
    """A channel block charging 1234 mAh so far; cell k at 4.00 + k/100 V."""
    codes = [(base + 1, mode), (base + 2, type_code), (base + 7, 12), (base + 8, 34)]
    pairs = [(base + 11, 205), (base + 15, 1237), (base + 17, 25), (4, 1200)]
    return codes, pairs + [(base + 17 + 2 * k, 400 + k) for k in range(1, cells + 1)]


def frame36(mode=2, type_code=0):
    return frame(36, *block(0, mode, type_code, 8))


def frame76(mode=1, type_code=2):
    pairs = [(33, 150), (35, 840), (37, 30), (39, 41), (41, 1190), (43, 987)]
    cells = [(43 + 2 * k, 420 - k) for k in range(1, 13)]
    return frame(76, [(8, mode), (23, type_code)], pairs + cells)


def frame112(mode1=2, mode2=1):
    (c1, p1), (c2, p2) = block(0, mode1, 0, 12), block(54, mode2, 4, 12)
    return frame(112, c1 + c2, p1 + p2)


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
    out = pathlib.Path(__file__).resolve().parent / "corpus"
    out.mkdir(exist_ok=True)
    for name, data in seeds.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
