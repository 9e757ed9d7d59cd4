#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the package need, and nothing that
# is already there. Safe to run again; works as root or through sudo.
#   --fuzz        also the fuzzing toolchain (make fuzz)
#   --screenshot  also what scripts/screenshot.sh drives the window with
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
  # the run record beside every data file is JSON
  nlohmann-json3-dev
  # tests: GoogleTest (its CMake package names gmock too, so both libraries must be there)
  # and a font for the text the charts draw offscreen
  libgtest-dev libgmock-dev fonts-dejavu-core
  # make package, and its test: dpkg-shlibdeps (dpkg-dev, file) for the Depends field;
  # man-db and groff-base render the manual pages; appstream and desktop-file-utils check
  # the metainfo and the desktop entry
  dpkg-dev file man-db groff-base appstream desktop-file-utils
  # the layout check of CI (scripts/check-format.sh)
  clang-format
)
case "${1:-}" in
  --fuzz) packages+=(clang libclang-rt-14-dev) ;;
  --screenshot) packages+=(xvfb xdotool imagemagick) ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
