#!/usr/bin/env bash
# Writes the tag fuzzer's seed corpus: short tagged files in every format the reader knows, made
# by the usual encoders. Usage: make_tag_corpus.sh OUT_DIR
set -euo pipefail
out=${1:?out dir}
mkdir -p "$out"
cd "$out"
sox -n -r 8000 -c 1 -b 16 tone.wav synth 0.1 sine 440
lame --quiet -b 32 --id3v1-only --tt Morning --ta Band --tl First tone.wav v1.mp3
lame --quiet -b 32 --id3v2-only --id3v2-utf16 --tt 'Северный ветер' --ta 'Звезда' tone.wav v2.mp3
oggenc -Q -t 'Café' -a 'Señor' -o vorbis.ogg tone.wav
opusenc --quiet --title '東京' --artist 'Ночь' tone.wav opus.opus
ffmpeg -loglevel error -y -i tone.wav -metadata title=Река -metadata artist=Лес flac.flac
ffmpeg -loglevel error -y -i tone.wav -metadata title=River -metadata artist=Forest info.wav
