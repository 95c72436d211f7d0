#!/bin/sh
# Writes the sound decoders' seed corpus: one short file of each type the player decodes.
set -eu
out=$1
mkdir -p "$out"
sox -n -r 22050 -c 2 -b 16 "$out/tone.wav" synth 0.3 sine 440 vol 0.5
sox "$out/tone.wav" "$out/tone.flac"
sox "$out/tone.wav" "$out/tone.aiff"
oggenc -Q -o "$out/tone.ogg" "$out/tone.wav"
lame --quiet "$out/tone.wav" "$out/tone.mp3"
lame --quiet -t -V 2 "$out/tone.wav" "$out/tone_headerless.mp3"
ffmpeg -loglevel error -y -i "$out/tone.wav" -c:a aac "$out/tone.m4a"
ffmpeg -loglevel error -y -i "$out/tone.wav" -c:a alac "$out/tone_alac.m4a"
ffmpeg -loglevel error -y -i "$out/tone.wav" -c:a aac -f adts "$out/tone.aac"
ffmpeg -loglevel error -y -i "$out/tone.wav" -c:a mp2 "$out/tone.mp2"
# Inputs that once found faults.
cp "$(dirname "$0")/sound_regressions/"* "$out/"
