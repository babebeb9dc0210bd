#!/usr/bin/python3
"""Synthesises the sound example's sounds: blip.wav (a short falling chirp, 16-bit mono WAV) and
tune.ogg (an eight-bar loop of lead and bass, encoded with oggenc). Both are made from
arithmetic alone, so they carry no licence but the project's.

Usage: make-sounds.py OUTPUT_DIR
"""
import math
import pathlib
import subprocess
import sys
import tempfile
import wave

RATE = 22050


def write_wav(path, samples):
    """Writes mono 16-bit PCM, clipping to full scale."""
    frames = bytearray()
    for s in samples:
        value = max(-32767, min(32767, round(s * 32767)))
        frames += value.to_bytes(2, "little", signed=True)
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


def blip():
    """0.18 s: a sine falling from 1200 to 500 Hz, dying away."""
    count = int(0.18 * RATE)
    phase = 0.0
    samples = []
    for n in range(count):
        t = n / count
        frequency = 1200.0 * (500.0 / 1200.0) ** t
        phase += 2 * math.pi * frequency / RATE
        envelope = min(1.0, n / 60) * math.exp(-5.0 * t)
        samples.append(0.7 * envelope * math.sin(phase))
    return samples


# The loop: eight bars of four beats at 120 beats a minute, as MIDI note numbers (0: rest).
LEAD = [69, 72, 76, 72, 74, 77, 81, 77, 72, 76, 79, 76, 71, 74, 79, 74,
        69, 72, 76, 81, 77, 74, 72, 71, 69, 0, 76, 74, 72, 71, 69, 0]
BASS = [45, 45, 41, 41, 48, 48, 43, 43]
BEAT = 0.5


def note_frequency(note):
    return 440.0 * 2 ** ((note - 69) / 12)


def add_note(buffer, start, seconds, frequency, level, harmonics):
    """Adds a note with a quick attack and an exponential decay that ends within its length,
    so that the loop joins without a click."""
    count = int(seconds * RATE)
    first = int(start * RATE)
    for n in range(count):
        t = n / RATE
        envelope = min(1.0, n / 100) * math.exp(-3.0 * t) * min(1.0, (count - n) / 200)
        value = sum(math.sin(2 * math.pi * frequency * k * t) / k ** 2 for k in harmonics)
        buffer[first + n] += level * envelope * value


def tune():
    seconds = len(LEAD) * BEAT
    buffer = [0.0] * int(seconds * RATE)
    for i, note in enumerate(LEAD):
        if note:
            add_note(buffer, i * BEAT, BEAT, note_frequency(note), 0.25, (1, 2, 3))
    bar = 4 * BEAT
    for i, note in enumerate(BASS):
        add_note(buffer, i * bar, bar, note_frequency(note), 0.35, (1, 2))
    return buffer


def main():
    out = pathlib.Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write_wav(out / "blip.wav", blip())
    with tempfile.TemporaryDirectory() as work:
        loop = pathlib.Path(work) / "tune.wav"
        write_wav(loop, tune())
        subprocess.run(["oggenc", "--quiet", "-q", "1", "-o", str(out / "tune.ogg"), str(loop)], check=True)


if __name__ == "__main__":
    main()
