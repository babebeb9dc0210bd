#!/usr/bin/env bash
# Makes the sound files the audio tests and the Vorbis benchmark read, with sox and oggenc, and
# beside each test file the tools' own decoding of it as the reference the decoders are compared
# with: <name>.ref.raw, interleaved little-endian samples (32-bit float from sox for WAV files,
# 16-bit signed from oggdec for Ogg Vorbis files). Everything is made the same on every run (sox's
# repeatable mode, a fixed Ogg serial number), so regenerating changes nothing unless a tool did.
# Usage: tools/make-sound-samples.sh   (needs: tools/setup.sh assets)
set -euo pipefail
cd "$(dirname "$0")/.."

data=tests/audio/data
bench=bench/data
mkdir -p "$data" "$bench"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# sox -R: repeatable noise and dither; -D: no dither, so the WAV samples are the synthesised ones.
synth() {
  local rate=$1 channels=$2
  shift 2
  sox -R -D -r "$rate" -c "$channels" -n -r "$rate" -c "$channels" "$@"
}

# WAV: every sample format the loader reads, mono and stereo, at ordinary and odd rates.
synth 11025 1 -e unsigned-integer -b 8 "$data/u8-mono-11025.wav" synth 0.25 sine 440 vol 0.8
synth 44100 2 -e signed-integer -b 16 "$data/s16-stereo-44100.wav" \
  synth 0.05 sine 300-3000 whitenoise vol 0.5
synth 22050 1 -e signed-integer -b 24 "$data/s24-mono-22050.wav" synth 0.1 triangle 220 vol 0.9
synth 8000 2 -e signed-integer -b 32 "$data/s32-stereo-8000.wav" synth 0.1 square 150 sine 97 vol 0.5
synth 12345 1 -e floating-point -b 32 "$data/f32-mono-12345.wav" synth 0.1 sine 1000 vol 0.95
for wav in "$data"/*.wav; do
  sox "$wav" -t raw -e floating-point -b 32 -L "${wav%.wav}.ref.raw"
done

# Ogg Vorbis: mono and stereo, a file of four channels (refused), a noisy one of several audio
# pages (to cut between pages), and the benchmark's music.
synth 22050 1 -b 16 "$scratch/mono.wav" synth 0.25 sine 440 sine 660 vol 0.7
synth 44100 2 -b 16 "$scratch/stereo.wav" synth 0.2 sine 200-4000 pinknoise vol 0.5
synth 8000 4 -b 16 "$scratch/quad.wav" synth 0.05 sine 300 vol 0.5
oggenc -Q --serial 1 -q 2 -o "$data/mono-22050.ogg" "$scratch/mono.wav"
oggenc -Q --serial 2 -q 4 -o "$data/stereo-44100.ogg" "$scratch/stereo.wav"
oggenc -Q --serial 3 -q 0 -o "$data/quad-8000.ogg" "$scratch/quad.wav"
synth 11025 1 -b 16 "$scratch/noise.wav" synth 3 pinknoise synth 3 sine mix 300-2000 vol 0.5
oggenc -Q --serial 5 -q 2 -o "$data/noise-mono-11025.ogg" "$scratch/noise.wav"
for ogg in "$data"/mono-22050.ogg "$data"/stereo-44100.ogg; do
  oggdec -Q --raw --bits 16 --endianness 0 --sign 1 -o "${ogg%.ogg}.ref.raw" "$ogg"
done

# Six seconds of a rising tone and noise, beating four times a second: long enough that opening the file is a small share of a run.
synth 44100 2 -b 16 "$scratch/music.wav" synth 6 sine 220-880 pinknoise \
  tremolo 4 60 vol 0.5
oggenc -Q --serial 4 -q 3 -o "$bench/music.ogg" "$scratch/music.wav"

du -sh "$data" "$bench"
