#!/usr/bin/env bash
# Builds what is out of date, then runs every test: the Windows programs under Wine and the
# host sanitizer tests and fuzz targets. FUZZ_SECONDS overrides each fuzz target's time.
#
# The two build trees' tests run as one CTest run (build/CTestTestfile.cmake names both), so that
# they share the processors and the longest start first (each test's COST); a failure is listed
# by its test's name at the end, with its output above.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
if [ -n "${FUZZ_SECONDS:-}" ]; then
  cmake -S . -B build/host -DFUZZ_SECONDS="$FUZZ_SECONDS" >/dev/null
fi
jobs=$(nproc)
printf 'subdirs("win")\nsubdirs("host")\n' >build/CTestTestfile.cmake
ctest --test-dir build -j "$jobs" --output-on-failure
