#!/usr/bin/env bash
# Runs one Windows program under 64-bit Wine, headless, in the prefix CTest names.
#
# With WINE_PREFIX_TEMPLATE set (CTest sets it for every Wine test, see add_wine_test), WINEPREFIX
# is made afresh as a copy of that prepared prefix, the program runs there with a wineserver of
# its own, everything left running in the prefix is ended when the program ends, and the prefix
# is removed (kept after a failure, for a look at what the test left). Without it the program
# runs in WINEPREFIX as it is.
export WINEDEBUG="${WINEDEBUG:--all}"
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run: WINEPREFIX is not set" >&2
  exit 2
fi
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
if [ -z "${WINE_PREFIX_TEMPLATE:-}" ]; then
  exec "$wine" "$@"
fi

server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=$(command -v wineserver || true)
"$(dirname "$0")/wine-prefix.sh" --copy "$WINE_PREFIX_TEMPLATE" "$WINEPREFIX" || exit 2
# The prefix's server and every process in it end with this run, also when CTest stops it.
end_prefix() {
  if [ -n "$server" ]; then
    "$server" -k 2>/dev/null
    "$server" -w 2>/dev/null
  fi
  # This build of Wine keeps each prefix's server folder in a temporary folder it names in the
  # prefix: the server has gone, so its folder goes too.
  local folder
  folder=$(cat "$WINEPREFIX/wineserver" 2>/dev/null) || return 0
  case "$folder" in
    wine-*/* | */* | "") ;;
    wine-*) rm -rf "${TMPDIR:-/tmp}/$folder" ;;
  esac
}
trap 'end_prefix; exit 143' TERM INT HUP
"$wine" "$@" &
wait $!
status=$?
# A signal interrupts the wait: the trap has ended the prefix already.
end_prefix
[ $status -eq 0 ] && rm -rf "$WINEPREFIX"
exit $status
