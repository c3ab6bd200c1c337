#!/usr/bin/env bash
# Installs what is missing, then builds both DLLs (build/win/bin) and the host build of Tonvar
# with sanitizers, fuzz targets and benchmarks (build/host).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake
cmake --build build/win -j "$jobs"
CC=clang CXX=clang++ cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHOST_BUILD=ON
cmake --build build/host -j "$jobs"
echo "Kalimu.dll and Tonvar.dll: $(pwd)/build/win/bin"
