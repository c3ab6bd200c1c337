#!/usr/bin/env bash
# Makes the test run's Wine prefix once: created by wineboot, graphics driver set to null so that
# windows and dialogs work without a display. An existing prefix is reused.
set -eu
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
if [ ! -f "$prefix/.ready" ]; then
  rm -rf "$prefix"
  mkdir -p "$prefix"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  server=/usr/lib/wine/wineserver64
  [ -x "$server" ] || server=$(command -v wineserver || true)
  [ -n "$server" ] && "$server" -w 2>/dev/null || true
  touch "$prefix/.ready"
fi
# Start the server now so that the test programs share it.
"$wine" cmd /c exit >/dev/null 2>&1 || true
echo "wine prefix ready: $prefix"
