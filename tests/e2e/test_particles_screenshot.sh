#!/usr/bin/env bash
# Draws particle bursts of the player's three cells and canvas lines under Xvfb and keeps the PNG.
set -euo pipefail
build=${1:?build dir}
out="$build/screenshots/particles.png"
rm -f "$out"
SNV_PREVIEW_OUT="$out" xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build/tests/test_particles" --gtest_filter='ParticlePreview.*' --gtest_brief=1
[ -s "$out" ] || { echo "no picture at $out"; exit 1; }
size=$(identify -format '%wx%h' "$out")
[ "$size" = "800x600" ] || { echo "unexpected size $size"; exit 1; }
echo "saved $out"
