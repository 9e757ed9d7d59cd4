#!/usr/bin/env bash
# Takes the README's picture from outside the program, as a person would: the window on the
# simulated amplifier under a virtual X server, Measurement -> Start, a data file, the Setup
# dialog's defaults (COM2, 2 s), then a grab of the window once the run has READINGS lines.
#   scripts/screenshot.sh [BUILD] [OUT.png] [READINGS]
set -euo pipefail
build=${1:-build}
out=${2:-docs/screenshot.png}
readings=${3:-20}
bin="$build/bin/varkel"

bash "$(dirname "$0")/install-deps.sh" --screenshot
[[ -x "$bin" ]] || { echo "No $bin: run make build first." >&2; exit 1; }

work=$(mktemp -d)
pids=()
# The window first, then the X server it draws on.
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to the descriptor given.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 2>"$work/xvfb.log" &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

"$bin" --simulate 2>"$work/varkel.log" &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --name 'Varkel' | head -n 1)
xdotool windowfocus --sync "$window"

# Measurement -> Start (its first item), then the save dialog: the file name, Return.
data="$work/demo.txt"
xdotool key --clearmodifiers alt+m Return
sleep 1
xdotool type --delay 20 "$data"
xdotool key Return
setup=$(xdotool search --sync --onlyvisible --name '^Setup$' | head -n 1)
xdotool windowfocus --sync "$setup"
xdotool key Return

limit=$((readings * 2 + 60))
for _ in $(seq "$limit"); do
  [[ -f "$data" && $(wc -l < "$data") -ge $readings ]] && break
  sleep 1
done
[[ -f "$data" && $(wc -l < "$data") -ge $readings ]] ||
  { echo "The run did not reach $readings readings in ${limit} s." >&2; exit 1; }
sleep 0.5  # the repaint after the last line
import -window "$window" "$out"
echo "Screenshot: $out"
