#!/usr/bin/env bash
# Wine prefixes of the tests.
#
#   wine-prefix.sh TEMPLATE          makes the test run's prepared prefix once: created by wineboot,
#                                    graphics driver set to null so that windows and dialogs work
#                                    without a display. An existing prefix is reused unless Wine
#                                    was updated since it was made.
#   wine-prefix.sh --copy TEMPLATE PREFIX
#                                    makes PREFIX afresh as a copy of TEMPLATE, for one test run.
#
# A copy shares nothing with the template's or another copy's wineserver: the server's record
# (the file `wineserver`, naming its folder under /tmp) is left out, and the copy gets a server of
# its own at its first start. Wine's installed modules (the .dll, .exe, ... of the windows folder,
# about 650 MB that nothing writes after wineboot) are hard links into the template; everything
# else (registry, users' folders, spooler folders, ...) is copied, so that what a test writes
# stays in its own prefix.
set -eu
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=$(command -v wineserver || true)

# The stamp Wine compares with its wine.inf to decide that a prefix needs updating: a template
# made by another Wine is made again, before any copy of it could be updated through its links.
wine_inf_stamp() {
  local inf
  for inf in /usr/share/wine/wine.inf /usr/share/wine/wine/wine.inf /usr/local/share/wine/wine.inf; do
    [ -f "$inf" ] && { stat -c %Y "$inf"; return; }
  done
  echo unknown
}

# Files linked rather than copied: Wine's modules and tables in the windows folder.
linked_file() {
  case "$1" in
    ./drive_c/windows/*.dll | ./drive_c/windows/*.exe | ./drive_c/windows/*.drv | ./drive_c/windows/*.sys | \
    ./drive_c/windows/*.ocx | ./drive_c/windows/*.cpl | ./drive_c/windows/*.acm | ./drive_c/windows/*.ax | \
    ./drive_c/windows/*.tlb | ./drive_c/windows/*.nls | ./drive_c/windows/*.com | ./drive_c/windows/*.ds) ;;
    *) return 1 ;;
  esac
  case "$1" in
    ./drive_c/windows/system32/spool/*) return 1 ;;
  esac
}

if [ "${1:-}" = "--copy" ]; then
  template=$2
  prefix=$3
  [ -f "$template/.ready" ] || { echo "wine-prefix: $template is not prepared (run the wine_prefix test)" >&2; exit 2; }
  rm -rf "$prefix"
  mkdir -p "$prefix"
  cd "$template"
  # Folders and links first, then the two kinds of files.
  find . -mindepth 1 -type d -printf '%P\0' | (cd "$prefix" && xargs -0 -r mkdir -p)
  declare -a link=() copy=()
  while IFS= read -r -d '' f; do
    [ "$f" = ./wineserver ] && continue
    if [ ! -L "$f" ] && linked_file "$f"; then link+=("$f"); else copy+=("$f"); fi
  done < <(find . -mindepth 1 ! -type d -print0)
  [ ${#link[@]} -eq 0 ] || cp -l --parents -t "$prefix" "${link[@]}"
  [ ${#copy[@]} -eq 0 ] || cp -a --parents -t "$prefix" "${copy[@]}"
  exit 0
fi

prefix=$1
export WINEPREFIX=$prefix
stamp=$(wine_inf_stamp)
if [ ! -f "$prefix/.ready" ] || [ "$(cat "$prefix/.ready")" != "$stamp" ]; then
  rm -rf "$prefix"
  mkdir -p "$prefix"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  echo "$stamp" >"$prefix/.ready"
fi
# The template's server ends (and saves the registry) before any test copies it.
[ -n "$server" ] && "$server" -w 2>/dev/null || true
echo "wine prefix ready: $prefix"
