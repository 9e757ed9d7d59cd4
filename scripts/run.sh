#!/usr/bin/env bash
# `make run`: the window on the simulated amplifier when a display is available; without
# one, a short headless recording from the simulated amplifier and its chart as an image.
set -euo pipefail
build=${1:-build}
bin="$build/bin/varkel"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$bin" --simulate
fi

out="$build/demo"
mkdir -p "$out"
data="$out/simulated-run.txt"
png="$out/simulated-run.png"
echo "No display found: recording 5 readings (2 s apart) from the simulated amplifier."
# The demo file is this script's own: each run replaces the last one's.
"$bin" --record "$data" --port sim --interval 2 --readings 5 --overwrite
"$bin" --plot "$data" --png "$png"
echo
echo "Data file:   $(realpath "$data")"
echo "Chart image: $(realpath "$png")"
