#!/usr/bin/env python3
"""Writes the three VANTIX Pro event sounds into product/data:

  vxconn.wav  a connection was made      two rising notes
  vxfail.wav  a connection or copy failed a low, falling two-tone buzz
  vxdone.wav  a long copy finished        three notes of a major chord

Mono 8-bit PCM at 11025 Hz, the format every sound card of the day plays. The output depends only
on this script (no randomness), so running it again gives the same bytes. Standard library only.

    python3 product/tools/make_sounds.py [output folder]
"""
import math
import os
import sys
import wave

RATE = 11025
FADE_SECONDS = 0.01  # short fade in and out of each note, so no note starts or ends with a click


def note(frequency, seconds, volume=0.6, harmonics=(1.0,), glide_to=None):
    """Samples in -1..1 of one note; glide_to bends the pitch linearly to another frequency."""
    count = int(RATE * seconds)
    fade = int(RATE * FADE_SECONDS)
    samples = []
    phase = 0.0
    for i in range(count):
        f = frequency if glide_to is None else frequency + (glide_to - frequency) * i / count
        phase += 2 * math.pi * f / RATE
        value = sum(weight * math.sin(phase * (n + 1)) for n, weight in enumerate(harmonics))
        value /= sum(harmonics)
        # Bell-like decay after the fade-in.
        envelope = math.exp(-3.0 * i / count)
        envelope *= min(1.0, i / fade, (count - 1 - i) / fade)
        samples.append(volume * envelope * value)
    return samples


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def write_wav(path, samples):
    # 8-bit PCM is unsigned, centred on 128.
    frames = bytes(max(0, min(255, round(128 + 127 * s))) for s in samples)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(1)
        out.setframerate(RATE)
        out.writeframes(frames)


SOUNDS = {
    "vxconn.wav": note(660, 0.12) + silence(0.03) + note(990, 0.20),
    "vxfail.wav": note(220, 0.18, harmonics=(1.0, 0.5, 0.33), glide_to=200)
    + silence(0.04)
    + note(165, 0.28, harmonics=(1.0, 0.5, 0.33), glide_to=140),
    "vxdone.wav": note(523.25, 0.12) + note(659.25, 0.12) + note(783.99, 0.32),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data")
    for name, samples in SOUNDS.items():
        path = os.path.join(folder, name)
        write_wav(path, samples)
        print("%s: %d samples, %.2f s" % (path, len(samples), len(samples) / RATE))


if __name__ == "__main__":
    main()
