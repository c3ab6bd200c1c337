#!/usr/bin/env bash
# Builds what is out of date, then runs every test: the Windows programs under Wine and the
# host sanitizer tests and fuzz targets. FUZZ_SECONDS overrides each fuzz target's time.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
if [ -n "${FUZZ_SECONDS:-}" ]; then
  cmake -S . -B build/host -DFUZZ_SECONDS="$FUZZ_SECONDS" >/dev/null
fi
jobs=$(nproc)
status=0
ctest --test-dir build/win -j "$jobs" --output-on-failure || status=1
ctest --test-dir build/host -j "$jobs" --output-on-failure || status=1
exit $status
