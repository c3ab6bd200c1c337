#!/usr/bin/env bash
# Runs one Windows program under 64-bit Wine, headless, in the prefix CTest names.
export WINEDEBUG="${WINEDEBUG:--all}"
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run: WINEPREFIX is not set" >&2
  exit 2
fi
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
exec "$wine" "$@"
