#!/usr/bin/env bash
# Draws every window of the screenshot programs (build/win/bin/kalimu_*_screenshots.exe) under
# Xvfb and converts the pictures to build/screenshots/<folder>_<name>.png. Xvfb takes a free display
# (-displayfd); the programs run in a Wine prefix of their own (build/screenshot-prefix) with the
# default graphics driver. Fails when there is no program, a program fails or outlasts its time
# (SCREENSHOT_TIMEOUT seconds, 300), or a picture is blank or shows a window whose title bar was
# not drawn.
#
# The user's walk (kalimu_driver_walk_screenshots) is one of them: it installs a printer, opens
# the document sheet through the spooler with the property-sheet component's stand-in
# (compstui.dll beside the programs), walks every page and button, reopens the sheet and prints;
# it fails on a message box, a change not kept or an empty list the model gives entries for.
#
# Arguments, when given, choose the programs whose names contain one of them
# (scripts/screenshots.sh walk); only their pictures are made again.
#
# The display has no window manager: the prefix has Wine draw each window's title bar and frame
# itself (without it they stay black), and holds Wine's own fonts (Marlett draws the caption
# buttons, Tahoma stands for "MS Shell Dlg"), which this Wine build does not load by itself.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
build=$(cd "${BUILD_DIR:-build/win}" && pwd)
out=$root/build/screenshots
prefix=$root/build/screenshot-prefix
shopt -s nullglob
programs=()
for program in "$build"/bin/kalimu_*_screenshots.exe; do
  chosen=$#
  for word in "$@"; do
    case $(basename "$program") in *"$word"*) chosen=0 ;; esac
  done
  [ "$chosen" -eq 0 ] && programs+=("$program")
done
if [ ${#programs[@]} -eq 0 ]; then
  echo "screenshots: no screenshot programs in $build/bin (build first)" >&2
  exit 1
fi
for tool in Xvfb convert; do
  command -v $tool >/dev/null || { echo "screenshots: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
wine_fonts=${WINE_FONTS_DIR:-/usr/share/wine/fonts}
if [ ! -f "$wine_fonts/marlett.ttf" ]; then
  echo "screenshots: Wine's fonts are missing in $wine_fonts (fonts-wine, scripts/install-deps.sh)" >&2
  exit 1
fi
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=$(command -v wineserver)

# A display of our own: Xvfb writes the number it chose to the descriptor we give it.
displayfile=$(mktemp)
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$displayfile" 2>/dev/null &
xvfb=$!
cleanup() {
  WINEPREFIX=$prefix "$server" -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -f "$displayfile"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$displayfile" ] && break
  sleep 0.1
done
[ -s "$displayfile" ] || { echo "screenshots: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$displayfile")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A prefix made by an older version of this script is made again.
prefix_version=2
if [ "$(cat "$prefix/.ready" 2>/dev/null)" != "$prefix_version" ]; then
  rm -rf "$prefix"
  mkdir -p "$prefix"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  if ! "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1; then
    echo "screenshots: the prefix's window frames could not be set" >&2
    exit 1
  fi
  cp "$wine_fonts"/*.ttf "$wine_fonts"/*.fon "$prefix/drive_c/windows/Fonts/"
  "$server" -w 2>/dev/null || true
  echo "$prefix_version" >"$prefix/.ready"
fi

if [ $# -eq 0 ]; then
  rm -rf "$out"
fi
mkdir -p "$out"
limit=${SCREENSHOT_TIMEOUT:-300}
status=0
for program in "${programs[@]}"; do
  name=$(basename "$program" .exe)
  folder=${name#kalimu_}
  folder=${folder%_screenshots}
  dir=$out/$folder
  rm -rf "$dir"
  mkdir -p "$dir"
  echo "== $name"
  windir="Z:${dir//\//\\}"
  overrides=$WINEDLLOVERRIDES
  # The walk runs the sheet with the property-sheet component's stand-in.
  case $name in *_walk_*) overrides="compstui=n,b;$overrides" ;; esac
  if ! (cd "$(dirname "$program")" && WINEDLLOVERRIDES=$overrides timeout -k 10 "$limit" "$wine" "$program" "$windir"); then
    echo "screenshots: $name failed (or outlasted ${limit} s)" >&2
    status=1
  fi
  pictures=("$dir"/*.bmp)
  if [ ${#pictures[@]} -eq 0 ]; then
    echo "screenshots: $name drew no picture" >&2
    status=1
  fi
  for bmp in "${pictures[@]}"; do
    png=$out/${folder}_$(basename "${bmp%.bmp}").png
    colours=$(convert "$bmp" -format %k info: 2>/dev/null || echo 0)
    if [ "$colours" -le 1 ]; then
      echo "screenshots: $(basename "$bmp") is blank" >&2
      status=1
    fi
    convert "$bmp" "$png" && rm -f "$bmp"
  done
  rmdir "$dir" 2>/dev/null || true
done
echo "screenshots: pictures in $out"
exit $status
