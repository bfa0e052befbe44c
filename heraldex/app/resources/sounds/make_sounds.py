#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the announcer's two shipped sounds: a rising chime for a friend, a falling
buzz for a foe. Small 8-bit mono files, so they stay cheap in the repository."""
import math
import struct
import sys
import wave
from pathlib import Path

RATE = 22050


def tone(freqs, seconds, shape):
    frames = bytearray()
    count = int(RATE * seconds)
    for i in range(count):
        t = i / RATE
        part = min(int(i * len(freqs) / count), len(freqs) - 1)
        envelope = min(1.0, t * 60) * (1.0 - i / count)
        value = shape(2 * math.pi * freqs[part] * t) * envelope * 0.8
        frames += struct.pack("B", int(128 + 127 * value))
    return bytes(frames)


def square(x):
    return 0.6 if math.sin(x) >= 0 else -0.6


def write(path, frames):
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(1)
        out.setframerate(RATE)
        out.writeframes(frames)


if __name__ == "__main__":
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    write(folder / "heraldex-friend.wav", tone([660, 880, 1320], 0.45, math.sin))
    write(folder / "heraldex-foe.wav", tone([220, 165], 0.5, square))
