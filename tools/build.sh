#!/usr/bin/env bash
# Installs what is missing and builds everything into build/ (Release, warnings as errors).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGLIMMERIX_WERROR=ON >/dev/null
cmake --build build -j "$(nproc)"
