#!/usr/bin/env bash
# Installs what is missing and builds into build/ (Release, warnings as errors): everything,
# or only the targets named.   tools/build.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGLIMMERIX_WERROR=ON >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j "$(nproc)" "${targets[@]}"
