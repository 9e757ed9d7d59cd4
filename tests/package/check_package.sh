#!/usr/bin/env bash
# Builds the Debian package from a built tree into a folder of its own and checks it without
# installing it: every file and its mode, the control fields, the manual pages (they render
# without warnings and document every option the programs have), the desktop entry and the
# AppStream metainfo, and the packaged program itself.
#   check_package.sh CPACK BUILD_DIR VERSION
set -euo pipefail
cpack=$1
build=$2
version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for tool in dpkg-deb man file appstreamcli desktop-file-validate; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack could not build the package" >&2
  exit 1
fi
debs=("$work"/out/*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || { echo "FAIL: expected one .deb, got: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[[ $(basename "$deb") == "varkel_${version}_${arch}.deb" ]] || fail "file name $(basename "$deb")"

# --- Contents: exactly these files, with these modes, all owned by root.
expected_files="-rwxr-xr-x ./usr/bin/varkel
-rwxr-xr-x ./usr/bin/varkel-sim
-rw-r--r-- ./usr/share/applications/varkel.desktop
-rw-r--r-- ./usr/share/icons/hicolor/128x128/apps/varkel.png
-rw-r--r-- ./usr/share/icons/hicolor/16x16/apps/varkel.png
-rw-r--r-- ./usr/share/icons/hicolor/256x256/apps/varkel.png
-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/varkel.png
-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/varkel.png
-rw-r--r-- ./usr/share/icons/hicolor/64x64/apps/varkel.png
-rw-r--r-- ./usr/share/man/man1/varkel-sim.1.gz
-rw-r--r-- ./usr/share/man/man1/varkel.1.gz
-rw-r--r-- ./usr/share/metainfo/varkel.metainfo.xml"
dpkg-deb -c "$deb" >"$work/listing"
actual_files=$(awk '$1 !~ /^d/ {print $1, $6}' "$work/listing" | LC_ALL=C sort)
if [[ "$actual_files" != "$(LC_ALL=C sort <<<"$expected_files")" ]]; then
  fail "package files differ from the expected list:"
  diff <(LC_ALL=C sort <<<"$expected_files") <(echo "$actual_files") >&2 || true
fi
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" {print "FAIL: directory mode " $1 " " $6}' "$work/listing" >&2
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" {bad = 1} END {exit bad}' "$work/listing" || failures=$((failures + 1))
awk '$2 != "root/root" {bad = 1; print "FAIL: owner " $2 " of " $6 > "/dev/stderr"} END {exit bad}' \
  "$work/listing" || failures=$((failures + 1))

# --- Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == varkel ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version), expected $version"
[[ $(field Architecture) == "$arch" ]] || fail "Architecture: $(field Architecture)"
[[ $(field Section) == science ]] || fail "Section: $(field Section)"
[[ $(field Priority) == optional ]] || fail "Priority: $(field Priority)"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\ ]+@[^\>\ ]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
depends=$(field Depends)
# Derived from the programs' shared libraries: versioned entries for the C and Qt libraries.
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6; do
  [[ "$depends" =~ (^|, )${library//+/\\+}\ \(\>=\ [0-9] ]] || fail "Depends lacks a versioned $library: $depends"
done
description=$(field Description)
[[ $(head -n 1 <<<"$description") =~ ^[a-z].{10,79}$ ]] || fail "Description summary: $(head -n 1 <<<"$description")"
[[ $(wc -l <<<"$description") -ge 4 ]] || fail "Description has no extended part"

# --- The files themselves.
root="$work/root"
dpkg-deb -x "$deb" "$root"
[[ $("$root/usr/bin/varkel" --version) == "Varkel $version" ]] || fail "varkel --version: $("$root/usr/bin/varkel" --version)"
for size in 16 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/varkel.png"
  file -b "$icon" | grep -q "^PNG image data, $size x $size," || fail "icon $size: $(file -b "$icon")"
done

export LC_ALL=C.UTF-8
# Renders a page at WIDTH columns; groff's and man's warnings go to the second file.
render() { MANWIDTH=$2 man --warnings -l "$1" >"$3" 2>"$4"; }
check_page() {
  local program=$1
  shift
  local page="$root/usr/share/man/man1/$program.1.gz"
  render "$page" 80 "$work/$program.txt" "$work/$program.warnings" || fail "man -l $program.1.gz failed"
  if [[ -s "$work/$program.warnings" ]]; then
    fail "$program.1 renders with warnings:"
    cat "$work/$program.warnings" >&2
  fi
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" EXAMPLES "SEE ALSO" "$@"; do
    grep -q "^$section\$" "$work/$program.txt" || fail "$program.1 has no $section section"
  done
  # Every option the program's own help names is documented (wide, so no line breaks in them).
  render "$page" 1000 "$work/$program.wide" /dev/null
  local options
  options=$("$root/usr/bin/$program" --help | grep -oE -- '(^|[ [|])--?[a-z][a-z0-9-]*' | grep -oE -- '--?[a-z][a-z0-9-]*' | sort -u)
  [[ -n "$options" ]] || fail "$program --help names no option"
  for option in $options; do
    grep -qE -- "(^|[^a-z0-9-])$option([^a-z0-9-]|\$)" "$work/$program.wide" || fail "$program.1 does not document $option"
  done
}
check_page varkel PORTS "DATA FILE" "RUN RECORD" DROPOUTS ENVIRONMENT FILES
check_page varkel-sim
for status in 0 1 2 3; do
  sed -n '/^EXIT STATUS$/,/^[A-Z]/p' "$work/varkel.txt" | grep -qE "^ +$status +[A-Z(]" || fail "varkel.1 EXIT STATUS lacks $status"
done
sed -n '/^FILES$/,/^[A-Z]/p' "$work/varkel.txt" | grep -q 'FILE\.json' || fail "varkel.1 FILES lacks the run record"
for option in --com1 --com2 --com3 --com4; do
  grep -q -- "$option" "$work/varkel.wide" || fail "varkel.1 does not document $option"
done

desktop="$root/usr/share/applications/varkel.desktop"
validation=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[[ -z "$validation" ]] || fail "desktop entry: $validation"
grep -qx 'Exec=varkel %f' "$desktop" || fail "desktop entry does not start /usr/bin/varkel"
grep -qx 'Icon=varkel' "$desktop" || fail "desktop entry does not name the varkel icon"

metainfo="$root/usr/share/metainfo/varkel.metainfo.xml"
# The one warning taken: the id is the desktop file's name, not a reverse-DNS one.
appstreamcli validate --no-net "$metainfo" >"$work/metainfo.log" 2>&1 || true
if grep -E '^[EW]:' "$work/metainfo.log" | grep -v 'cid-desktopapp-is-not-rdns' >&2; then
  fail "metainfo does not validate"
fi
grep -q '<launchable type="desktop-id">varkel.desktop</launchable>' "$metainfo" || fail "metainfo launches no varkel.desktop"

if [[ $failures -gt 0 ]]; then
  echo "$failures check(s) of $(basename "$deb") failed" >&2
  exit 1
fi
echo "$(basename "$deb"): contents, control fields, manual pages, desktop entry and metainfo as expected"
